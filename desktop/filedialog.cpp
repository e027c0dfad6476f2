#include "filedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace kv::desktop {

namespace {

// Folders and the files this user may run. The file model's own Executable
// filter cannot say this: alone it hides every readable file, so it lists nothing.
class ProgramsOnly final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files) return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }
};

}  // namespace

void prepareOpenDialog(QFileDialog& dialog, FileKind kind) {
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (kind == FileKind::Program) {
#ifdef Q_OS_WIN
        dialog.setNameFilter("Program files (*.exe)");
#else
        // Programs here have no extension: the dialog lists what may be run.
        dialog.setNameFilter("Program files (*)");
        dialog.setProxyModel(new ProgramsOnly(&dialog));
#endif
    } else {
        dialog.setNameFilter("Any file (*)");
    }
}

}  // namespace kv::desktop
