#pragma once
// Paints windows from the colour values the files store.

#include <QColor>
#include <QFont>
#include <QPalette>

#include "colours.h"
#include "qtstorage.h"

class QWidget;

namespace kv::desktop {

// The palette of a dark desktop theme, to look at and check the windows under.
QPalette darkDesktopPalette();

// Sets the background or font colour of a control (a window or a child found
// by object name); an unknown name is ignored.
void setControlColour(QWidget* window, const QString& object, storage::ColourRole role,
                      const QColor& colour);
QColor controlColour(QWidget* control, storage::ColourRole role);

// Reads the rules' keys from the colour file and applies them.
void applyColourScheme(QWidget* window, const storage::Profile& colourFile,
                       const storage::ColourRules& rules);

}  // namespace kv::desktop
