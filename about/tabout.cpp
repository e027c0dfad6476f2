#include "tabout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "exchange.h"
#include "tray.h"
#include "windowkit.h"

namespace kv::about {

using desktop::labelFor;
using desktop::named;

const char* Tabout::terms() {
    return "Kalvex4 is free software: you can redistribute it and/or modify it under the terms "
           "of the GNU General Public License as published by the Free Software Foundation, "
           "either version 3 of the License, or (at your option) any later version.\n\n"
           "It is distributed in the hope that it will be useful, but WITHOUT ANY WARRANTY; "
           "without even the implied warranty of MERCHANTABILITY or FITNESS FOR A PARTICULAR "
           "PURPOSE. See the GNU General Public License (the file LICENSE) for more details.";
}

Tabout::Tabout(desktop::Services&, QWidget* owner)
    : desktop::Window(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("Tabout");
    setWindowTitle("Kalvex - informacje o programie");
    setFixedSize(485, 364);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    auto* panel1 = named<QLabel>("Panel1", "Kalvex4", this);
    panel1->setFixedHeight(56);
    QFont big = panel1->font();
    big.setPointSize(20);
    big.setBold(true);
    panel1->setFont(big);
    panel1->setContentsMargins(10, 0, 10, 0);
    panel1->setAutoFillBackground(true);
    QPalette banner = panel1->palette();
    banner.setColor(QPalette::Window, QColor(0x28, 0x31, 0x59));
    banner.setColor(QPalette::WindowText, QColor(0xE4, 0xD4, 0x9C));
    panel1->setPalette(banner);
    auto* panel2 = named<QLabel>("Panel2", "About Kalvex4...", this);
    panel2->setContentsMargins(10, 2, 10, 2);
    layout->addWidget(panel1);
    layout->addWidget(panel2);

    QGroupBox* group1 = buildProgramGroup();
    auto* group2 = named<QGroupBox>("GroupBox2", "License:", this);
    auto* licence = named<QLabel>("Label4", terms(), group2);
    licence->setWordWrap(true);
    desktop::showsValue(licence);
    licence->setAccessibleDescription("License:");
    licence->setContentsMargins(8, 4, 8, 4);
    // The window's size is fixed: whatever font the desktop gives, the terms
    // scroll where their lines need more room than it has.
    auto* scroll = named<QScrollArea>("licenceScroll", group2);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(licence);
    auto* termsLayout = new QVBoxLayout(group2);
    termsLayout->setContentsMargins(0, 0, 0, 0);
    termsLayout->addWidget(scroll);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->addWidget(group1);
    body->addWidget(group2, 1);
    layout->addLayout(body, 1);

    auto* button = named<QPushButton>("Button1", "I agree", this);
    layout->addLayout(desktop::buttonRow({button}));
    button->setDefault(true);  // its one button: Enter closes the window
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
}

// The program's name and version, beside its icon.
QGroupBox* Tabout::buildProgramGroup() {
    auto* group1 = named<QGroupBox>("GroupBox1", "About Kalvex4:", this);
    auto* grid = new QGridLayout(group1);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setVerticalSpacing(2);
    auto* icon = named<QLabel>("Image1", group1);
    icon->setPixmap(desktop::programIcon().pixmap(32, 32));
    icon->setFixedSize(32, 32);
    icon->setAccessibleName("Kalvex4 icon");
    auto* name = named<QLabel>("Label2", "Kalvex", group1);
    m_wersja = named<QLabel>("wersja", "(Unknown)", group1);
    for (QLabel* value : {name, m_wersja}) desktop::showsValue(value);
    grid->addWidget(icon, 0, 0, 2, 1);
    grid->addWidget(labelFor(group1, "Label1", "Program name:", name), 0, 1);
    grid->addWidget(name, 0, 2);
    grid->addWidget(labelFor(group1, "Label3", "Program version:", m_wersja), 1, 1);
    grid->addWidget(m_wersja, 1, 2);
    grid->setColumnStretch(2, 1);
    return group1;
}

void Tabout::firstShown() {
    // One read of the exchange file; a missing file or key gives "(nieznana)".
    m_wersja->setText(QString::fromStdString(storage::Exchange().version("(nieznana)")));
}

}  // namespace kv::about
