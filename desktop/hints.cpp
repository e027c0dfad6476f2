#include "hints.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>
#include <QWidget>

#include "colourscheme.h"

namespace kv::desktop {

namespace {

// Qt has no application-wide hint pause: each widget takes it when polished.
class HintPause final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Polish)
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->toolTipDuration() < 0)
                w->setToolTipDuration(kHintPauseMs);
        return false;
    }
};

}  // namespace

void applyHintSettings() {
    QPalette p = QToolTip::palette();
    p.setColor(QPalette::ToolTipBase, toQColor(kHintColour));
    QToolTip::setPalette(p);
    static HintPause* filter = nullptr;
    if (!filter) {
        filter = new HintPause(qApp);
        qApp->installEventFilter(filter);
        for (QWidget* w : QApplication::allWidgets())
            if (w->toolTipDuration() < 0) w->setToolTipDuration(kHintPauseMs);
    }
}

}  // namespace kv::desktop
