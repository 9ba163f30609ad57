// The main window offscreen: captions, menu, region list, quitting.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMenuBar>

#include "app/Unit_message.h"
#include "app/cp1252.h"
#include "app/orvane_Unit1.h"
#include "support.h"

using namespace karvel;
using karvel::test::CurrentDir;
using karvel::test::read_bytes;
using karvel::test::ScriptedDialogs;
using karvel::test::TempDir;
using karvel::test::write_bytes;

namespace {

struct MainWindowTest : ::testing::Test {
    MainWindowTest() : cd(dir.path()) {
        write_bytes(dir.file("karvel_params.ini"),
                    "[file]\r\ndriver=karvel SQLite\r\nDNS=nav\r\ndescription=d\r\n"
                    "filename=nav.sqlite\r\n; end\r\n");
        karvel::test::build_sample_database(dir.file("nav.sqlite"));
        write_bytes(dir.file("index_regions.txt"), "LF France\r\nLN Norv\xE8ge\r\n\r\nX\r\n");
    }
    TempDir dir;
    CurrentDir cd;
    AppState state;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(MainWindowTest, TitleMenuAndRegionsAtShowTime) {
    TForm1 form(state, dialogs);
    int terminated = 0;
    form.terminate = [&] { ++terminated; };
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Creation de fichier secteur version 1.6"));
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Creation de fichier secteur  karvel 1.6"));

    ASSERT_EQ(form.ComboBox_region->count(), 4);
    EXPECT_EQ(form.ComboBox_region->itemText(1), QStringLiteral("LN Norvège"));
    EXPECT_EQ(form.ComboBox_region->itemText(2), QString());
    EXPECT_EQ(form.ComboBox_region->currentIndex(), -1);

    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("Fichier"));
    QStringList items;
    for (QAction* a : menus[0]->menu()->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("ouvrir une base de données"),
                                  QStringLiteral("enregistrer"), QStringLiteral("quitter")}));

    EXPECT_EQ(form.Label_cycle->text(), QStringLiteral("données: cycle:2611 fichier:nav.sqlite"));
    EXPECT_EQ(form.Edit_dist->text(), QStringLiteral("100"));
    EXPECT_EQ(form.RadioGroup_coast->item_index(), 0);
    EXPECT_EQ(form.RadioGroup_coast->item_text(3), QStringLiteral("3"));
    EXPECT_EQ(form.Button_enr->text(), QStringLiteral("Enregitrer le secteur"));
    EXPECT_EQ(form.Button_rechparairort->text(), QStringLiteral("selection par airport"));
    EXPECT_EQ(terminated, 0);
    form.hide();
}

TEST_F(MainWindowTest, QuitWritesTheTwoKeysAndClosingTheFrameWritesNothing) {
    const std::string before = read_bytes(dir.file("karvel_params.ini"));
    {
        TForm1 form(state, dialogs);
        int terminated = 0;
        form.terminate = [&] { ++terminated; };
        form.show();
        form.close();
        EXPECT_EQ(terminated, 1);
        EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), before);
    }
    TForm1 form(state, dialogs);
    int terminated = 0;
    form.terminate = [&] { ++terminated; };
    form.show();
    QCoreApplication::processEvents();
    state.settings.odbc.filename = "new.sqlite";
    form.quitter1->trigger();
    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")),
              "[file]\r\ndriver=karvel SQLite\r\nDNS=nav\r\ndescription=d\r\n"
              "filename=new.sqlite\r\n; end\r\n");
    // the data source went with the quit
    EXPECT_THROW(state.db.sources.connect("nav", nullptr), std::exception);
}

TEST(ProgressWindow, CaptionAndRange) {
    TForm_message message;
    EXPECT_EQ(message.windowTitle(), QStringLiteral("message"));
    EXPECT_EQ(message.ProgressBar1->maximum(), 100);
    message.set_maximum(5000);
    message.set_position(4999);
    EXPECT_EQ(message.ProgressBar1->value(), 4999);
}
