// The toolkit's file dialog as the program opens it: French sizes and dates
// whatever the system's locale (the tests run under C), no column cut.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QLineEdit>
#include <QtTest/QTest>
#include <fstream>
#include <functional>

#include "support.h"
#include "windows/gui_dialogs.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct Columns {
    QString name, size, date;
    std::vector<int> cut;  // columns narrower than their text or header
};

// The columns narrower than the toolkit makes them to fit their text and
// header (they are fitted here).
std::vector<int> cut_columns(QTreeView* view) {
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::vector<int> cut;
    for (int column = 1; column <= 3; ++column) {
        const int shown = view->columnWidth(column);
        view->resizeColumnToContents(column);
        if (shown < view->columnWidth(column)) cut.push_back(column);
    }
    return cut;
}

// What the details view of the dialog the program opens shows of `dir`'s
// first entry, once the folder is read.
Columns first_entry(const std::function<void()>& open_dialog) {
    Columns seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* view = dialog ? dialog->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        if (!view) {
            if (dialog) dialog->reject();
            return;
        }
        QElapsedTimer t;
        t.start();
        while (view->model()->rowCount(view->rootIndex()) == 0 && t.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        const auto cell = [&](int column) {
            return view->model()->index(0, column, view->rootIndex()).data().toString();
        };
        seen = {cell(0), cell(1), cell(3), {}};
        seen.cut = cut_columns(view);
        dialog->reject();
    });
    open_dialog();
    return seen;
}

TEST(FileDialog, FrenchSizesAndDatesInColumnsThatFit) {
    TempDir dir;
    const std::string file = dir.file("grand secteur.sct");
    std::ofstream(file) << std::string(151'552, 'x');
    struct tm when = {};
    when.tm_year = 2026 - 1900, when.tm_mon = 11, when.tm_mday = 7, when.tm_hour = 14,
    when.tm_min = 5, when.tm_isdst = -1;
    const utimbuf times{mktime(&when), mktime(&when)};
    ASSERT_EQ(utime(file.c_str(), &times), 0);

    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QtDialogs dialogs;
    const std::string filter = "Fichiers secteur|*.sct|Tous les fichiers|*";
    for (const bool saving : {true, false}) {
        const Columns seen = first_entry([&] {
            if (saving) EXPECT_FALSE(dialogs.save_file("sct", dir.str(), "", filter));
            else EXPECT_FALSE(dialogs.open_file("ouvrir", filter, dir.str()));
        });
        EXPECT_EQ(seen.name, QStringLiteral("grand secteur.sct")) << saving;
        EXPECT_EQ(seen.size, QStringLiteral("148,00 Kio")) << saving;
        EXPECT_EQ(seen.date, QStringLiteral("07/12/2026 14:05")) << saving;
        EXPECT_THAT(seen.cut, ::testing::IsEmpty()) << saving;
    }
    QLocale::setDefault(QLocale::c());
}

// "*.txt" typed as the name and Enter: the dialog stays and lists the text
// files in columns that fit them, and nothing named "*.txt.sct" is written;
// a name then saves.
TEST(FileDialog, APatternTypedAsTheNameFilters) {
    TempDir dir;
    std::ofstream(dir.file("a.sct")) << "x";
    std::ofstream(dir.file("notes.txt")) << std::string(151'552, 'x');  // wider texts
    QtDialogs dialogs;
    QString listed;
    std::vector<int> cut;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        auto* view = dialog ? dialog->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        if (!name || !view) return;
        QElapsedTimer t;
        t.start();
        while (view->model()->rowCount(view->rootIndex()) == 0 && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        cut_columns(view);  // the folder shown and its columns fitted
        name->clear();
        QTest::keyClicks(name, QStringLiteral("*.txt"));
        QTest::keyClick(name, Qt::Key_Return);
        t.restart();
        while (dialog->isVisible() &&
               view->model()->index(0, 0, view->rootIndex()).data() != QStringLiteral("notes.txt") &&
               t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (!dialog->isVisible()) return;
        listed = view->model()->index(0, 0, view->rootIndex()).data().toString();
        cut = cut_columns(view);
        QTest::keyClicks(name, QStringLiteral("nice"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    const auto chosen =
        dialogs.save_file("sct", dir.str(), "tout.sct", "Fichiers secteur|*.sct|Tous les fichiers|*");
    EXPECT_EQ(listed, QStringLiteral("notes.txt"));
    EXPECT_THAT(cut, ::testing::IsEmpty());
    EXPECT_EQ(chosen, dir.file("nice.sct"));
}

}  // namespace
