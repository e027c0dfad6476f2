#pragma once
// How the open-file dialogs are set up, apart from running them, so that tests
// can look at what the real dialog lists.

#include "services.h"

class QFileDialog;

namespace kv::desktop {

void prepareOpenDialog(QFileDialog& dialog, FileKind kind);

}  // namespace kv::desktop
