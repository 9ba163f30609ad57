#include "windows/file_dialog.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QTreeView>

#include "windows/screen_fit.h"

namespace karvel {
namespace {

// The file system model writes sizes and dates in the system's locale; the
// program speaks French everywhere (the default locale).
class FrenchFileColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale french;
        if (index.column() == 3) return french.toString(files->lastModified(source), QLocale::ShortFormat);
        if (files->isDir(source)) return QString();
        return french.formattedDataSize(files->size(source));
    }
};

}  // namespace

FileDialog::FileDialog(QWidget* parent, const QString& caption, const QString& directory)
    : QFileDialog(parent, caption, directory) {
    setProxyModel(new FrenchFileColumns(this));
    auto* files = findChild<QFileSystemModel*>();
    auto* details = findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!files || !details) return;  // the desktop's own dialog
    // Room for the four columns of French text beside the places.
    resize(fit_to_screen(this, size().expandedTo(QSize(820, 500))));
    // Size, kind and date as wide as their widest text and header (the
    // toolkit sizes them for short English text at a scale of one), again
    // whenever the rows change (another folder, another filter); the user
    // may still drag them.
    const auto fit = [details] {
        QTimer::singleShot(0, details, [details] {
            for (int column = 1; column <= 3; ++column) details->resizeColumnToContents(column);
        });
    };
    connect(files, &QFileSystemModel::directoryLoaded, details, fit);
    connect(proxyModel(), &QAbstractItemModel::rowsInserted, details, fit);
    connect(proxyModel(), &QAbstractItemModel::layoutChanged, details, fit);
    connect(proxyModel(), &QAbstractItemModel::modelReset, details, fit);
}

void FileDialog::accept() {
    auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = name ? name->text().trimmed() : QString();
    if (!typed.contains(QLatin1Char('*')) && !typed.contains(QLatin1Char('?'))) {
        QFileDialog::accept();
        return;
    }
    QStringList filters = nameFilters();
    filters.removeAll(typed_filter_);
    // Shown as typed: the descriptions hide their patterns.
    typed_filter_ = typed + QStringLiteral(" (") + typed + QLatin1Char(')');
    filters.prepend(typed_filter_);
    setNameFilters(filters);
    name->clear();
}

}  // namespace karvel
