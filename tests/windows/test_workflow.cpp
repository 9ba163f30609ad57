// The main window offscreen, on the shipped settings and sample database:
// captions, region choice, both selections, errors, saving, quitting.
#include <gtest/gtest.h>

#include <QMenuBar>

#include "window_fixture.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct WorkflowTest : WindowFixture {
    WorkflowTest()
        : WindowFixture("LF France\r\nLS Suisse\r\nEG Royaume-Uni\r\nLF France (bis)\r\n") {}
};

}  // namespace

TEST_F(WorkflowTest, ShowStepTitleMenuRegionsAndDatabase) {
    EXPECT_EQ(created_title, QStringLiteral("Creation de fichier secteur version 1.6"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Creation de fichier secteur  karvel 1.6"));
    EXPECT_EQ(form->Label_cycle->text(),
              QStringLiteral("données: cycle:2611 fichier:navdata.sqlite"));
    EXPECT_EQ(std::pair(form->ComboBox_region->count(), form->ComboBox_region->currentIndex()),
              std::pair(4, -1));
    QStringList items;
    // The texts as shown; each has its key under Alt (the "&" before a letter).
    const QMenu* file = form->menuBar()->actions()[0]->menu();
    EXPECT_EQ(file->title(), QStringLiteral("&Fichier"));
    for (QAction* a : file->actions())
        if (!a->isSeparator()) items << QString(a->text()).remove(QLatin1Char('&'));
    EXPECT_EQ(
        items,
        (QStringList{QStringLiteral("ouvrir une base de données"), QStringLiteral("enregistrer"),
                     QStringLiteral("format des clients radar"), QStringLiteral("quitter")}));
    EXPECT_EQ(std::pair(form->Edit_dist->text(), form->RadioGroup_coast->item_index()),
              std::pair(QStringLiteral("100"), 0));
}

TEST_F(WorkflowTest, QuitWritesTheTwoKeysAndClosingTheFrameNothing) {
    const std::string before = read_bytes(dir.file("karvel_params.ini"));
    form->close();
    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), before);

    state.settings.odbc.filename = "autre.sqlite";
    form->quitter1->trigger();
    EXPECT_EQ(terminated, 2);
    std::string expected = before;
    expected.replace(expected.find("filename=navdata.sqlite"), 23, "filename=autre.sqlite");
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), expected);
    EXPECT_THROW(state.db.sources.connect("karvel_nav", nullptr), std::exception);  // removed
}

TEST_F(WorkflowTest, RegionByListAndByCode) {
    form->Memo1->setPlainText(QStringLiteral("old"));
    // The region, the line, the edit's code, the combo's line.
    const auto chosen = [&] {
        return std::tuple(state.nav.region_code, state.nav.selection_text,
                          form->Edit_coderegion->text(), form->ComboBox_region->currentIndex());
    };
    form->ComboBox_regionChange(1);
    EXPECT_EQ(chosen(), std::tuple("LS", "LS Suisse", QStringLiteral("LS"), 1));
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());

    form->Edit_coderegion->setText(QStringLiteral("eg"));  // lower case finds the stored form
    EXPECT_EQ(chosen(), std::tuple("EG", "EG Royaume-Uni", QStringLiteral("eg"), 2));

    form->Edit_coderegion->setText(QStringLiteral("EGX"));  // a third character: nothing
    EXPECT_EQ(state.nav.region_code, "EG");
    form->ComboBox_region->setCurrentIndex(0);
    form->Edit_coderegion->setText(QStringLiteral("EG"));  // back to two: looked up again
    EXPECT_EQ(form->ComboBox_region->currentIndex(), 2);

    form->Edit_coderegion->setText(QStringLiteral("ZZ"));  // the last valid code stays
    EXPECT_THAT(dialogs.messages, ElementsAre("code invalide"));
    EXPECT_EQ(chosen(), std::tuple("EG", "EG Royaume-Uni", QStringLiteral("ZZ"), -1));

    // The second line of a shared code: the edit's lookup finds the first.
    form->ComboBox_regionChange(3);
    EXPECT_EQ(chosen(), std::tuple("LF", "LF France", QStringLiteral("LF"), 0));
    // With the edit already holding the code, the second line stays chosen.
    form->ComboBox_region->setCurrentIndex(3);
    form->ComboBox_regionChange(3);
    EXPECT_EQ(state.nav.selection_text, "LF France (bis)");
}

TEST_F(WorkflowTest, SelectionByRegionFillsEveryListAndLabel) {
    form->Edit_coderegion->setText(QStringLiteral("LF"));
    afich->Button_tousid->setText(QStringLiteral("tous les SID"));
    form->Button_rechparregion->click();
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_FALSE(message->isVisible());
    EXPECT_EQ(message->windowTitle(), QStringLiteral("chargement des données"));
    EXPECT_EQ(form->Label_selection->text(), QStringLiteral("LF France   visu:400nm"));
    for (QListWidget* list :
         {form->ListBox_airports, form->ListBox_runways, form->ListBox_vor, form->ListBox_ndb,
          form->ListBox_waypoint, form->ListBox_airway, form->ListBox_star, form->ListBox_sid})
        EXPECT_GT(list->count(), 0) << list->objectName().toStdString();
    EXPECT_EQ(form->Label_listairport->text(),
              QString::number(form->ListBox_airports->count()) + QStringLiteral(" airports"));
    EXPECT_TRUE(form->Label_listwaypoint->text().endsWith(QStringLiteral(" Wayoints")));
    EXPECT_EQ(state.nav.box_lat_max, state.nav.wpt_lat_max);
    EXPECT_EQ(state.nav.box_lon_min, state.nav.wpt_lon_min);
    EXPECT_EQ(afich->Button_tousid->text(), QStringLiteral("aucun SID"));

    form->Button1->click();  // "carte"
    EXPECT_TRUE(carte->isVisible());
    EXPECT_EQ(carte->windowTitle(), QStringLiteral("LF France   visu:400nm"));
    carte->hide();
}

TEST_F(WorkflowTest, SelectionByAirportAndItsErrors) {
    select("LFPG", "50");
    EXPECT_EQ(form->Label_selection->text(), QStringLiteral("LFPG:50nm   visu:50nm"));
    EXPECT_GT(form->ListBox_sid->count(), 0);
    EXPECT_FALSE(form->Memo1->toPlainText().isEmpty());
    const int airports = form->ListBox_airports->count();

    // Not an integer, or 0: refused before anything changes.
    for (const char* radius : {"abc", "", "0"}) {
        by_airport("LFPG", radius);
        EXPECT_FALSE(message->isVisible());
        EXPECT_EQ(form->ListBox_airports->count(), airports);
        EXPECT_EQ(state.nav.selection_text, "LFPG:50nm");
    }
    EXPECT_THAT(dialogs.errors, ElementsAre(w1252("'abc' n'est pas une valeur entière correcte"),
                                            ::testing::_, ::testing::_));

    // A click on the current SID again shows it again.
    const QPoint at = form->ListBox_sid->visualItemRect(form->ListBox_sid->item(0)).center();
    click(form->ListBox_sid, at);
    const QString shown = form->Label_legs->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("SID: "))) << shown.toStdString();
    form->Label_legs->setText(QStringLiteral("Legs"));
    click(form->ListBox_sid, at);
    EXPECT_EQ(form->Label_legs->text(), shown);
}

// A selection that fails, an unknown code or a statement the database
// refuses, leaves the one before it whole: lists, counts, centre, caption,
// and what a save then writes.
TEST_F(WorkflowTest, AFailingSelectionKeepsThePreviousOneWhole) {
    select("LFMN", "30");
    const auto shown = [&] {
        QStringList all;
        for (QListWidget* l : {form->ListBox_airports, form->ListBox_runways, form->ListBox_vor,
                               form->ListBox_waypoint, form->ListBox_sid})
            for (int i = 0; i < l->count(); ++i) all << l->item(i)->text();
        return all << form->Label_listairport->text() << form->Label_listrunway->text()
                   << form->Label_selection->text() << form->Memo1->toPlainText();
    };
    const QStringList before = shown();
    const double centre_lat = state.nav.centre_lat;
    const int range = state.map.range_nm;
    dialogs.save_answers.push_back(dir.file("before.sct"));
    form->Button_enr->click();

    by_airport("ZZZZ", "80");

    build_database(dir.file("navdata.sqlite"), "drop table ILSes;");
    by_airport("LFPG", "80");
    EXPECT_THAT(dialogs.errors, ElementsAre(HasSubstr("ZZZZ"), HasSubstr("ILSes")));
    EXPECT_FALSE(message->isVisible());

    EXPECT_EQ(shown(), before);
    EXPECT_EQ(state.nav.centre_lat, centre_lat);
    EXPECT_EQ(state.map.range_nm, range);
    dialogs.save_answers.push_back(dir.file("after.sct"));
    form->Button_enr->click();
    EXPECT_EQ(read_bytes(dir.file("after.sct")), read_bytes(dir.file("before.sct")));
}

// A text the sector file cannot hold is told, naming its field; nothing is
// written. The client format wants every identity line.
TEST_F(WorkflowTest, IdentityTextsTheFileCannotHold) {
    select("LFMN", "100");
    form->Edit_callsign->setText(QStringLiteral("NICE \u65E5"));
    form->Button_enr->click();
    form->Edit_callsign->setText(QStringLiteral("LFMN_APP"));
    form->format_clients1->trigger();
    form->Button_enr->click();
    EXPECT_THAT(dialogs.messages, ElementsAre(HasSubstr("\"CallSign\""), HasSubstr("\"Nom\"")));
    EXPECT_TRUE(dialogs.save_dirs.empty());  // no file was asked for
    EXPECT_THAT(read_bytes(dir.file("karvel_params.ini")), HasSubstr("[sortie]"));
}

TEST_F(WorkflowTest, SavingTheSectorFromTheWindow) {
    select("LFMN", "30");
    form->Edit_nomsecteur->setText(QStringLiteral("Côte d'Azur"));
    form->Edit_callsign->setText(QStringLiteral("LFMN_APP"));
    dialogs.save_answers.push_back(dir.file("secteurs/nice.sct"));
    form->Button_enr->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_EQ(dialogs.save_dirs.back(), dir.str() + "/secteurs");
    const std::string file = read_bytes(dir.file("secteurs/nice.sct"));
    EXPECT_THAT(file, HasSubstr("[INFO]\r\nC\xF4te d'Azur\r\nLFMN_APP\r\n\r\n"));
    EXPECT_THAT(file, HasSubstr("LFMN-MEDAL 2B RW22R"));

    dialogs.save_answers.push_back(std::nullopt);  // "enregistrer" in the menu, cancelled
    form->enregistrer1->trigger();
    EXPECT_EQ(dialogs.save_dirs.size(), 2u);
}
