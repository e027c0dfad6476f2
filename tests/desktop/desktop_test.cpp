#include <QtTest>
class T : public QObject { Q_OBJECT };
QTEST_MAIN(T)
#include "desktop_test.moc"
