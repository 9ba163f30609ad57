// The main window offscreen, on the shipped settings and sample database:
// captions, region choice, both selections, errors, saving, quitting.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMenuBar>
#include <QMouseEvent>

#include "core/cp1252.h"
#include "window_fixture.h"

using namespace karvel;
using karvel::test::write_bytes;

namespace {

struct WorkflowTest : karvel::test::WindowFixture {
    WorkflowTest()
        : WindowFixture("LF France\r\nLS Suisse\r\nEG Royaume-Uni\r\nLF France (bis)\r\n") {}
    QString text(QListWidget* list, int row) { return list->item(row)->text(); }
};

}  // namespace

TEST_F(WorkflowTest, ShowStepTitleMenuRegionsAndDatabase) {
    EXPECT_EQ(created_title, QStringLiteral("Creation de fichier secteur version 1.6"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Creation de fichier secteur  karvel 1.6"));
    EXPECT_EQ(form->Label_cycle->text(),
              QStringLiteral("données: cycle:2611 fichier:navdata.sqlite"));
    ASSERT_EQ(form->ComboBox_region->count(), 4);
    EXPECT_EQ(form->ComboBox_region->currentIndex(), -1);
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
    EXPECT_EQ(form->Edit_dist->text(), QStringLiteral("100"));
    EXPECT_EQ(form->RadioGroup_coast->item_index(), 0);
}

TEST_F(WorkflowTest, QuitWritesTheTwoKeysAndClosingTheFrameNothing) {
    const std::string before = karvel::test::read_bytes(dir.file("karvel_params.ini"));
    form->close();
    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(karvel::test::read_bytes(dir.file("karvel_params.ini")), before);

    state.settings.odbc.filename = "autre.sqlite";
    form->quitter1->trigger();
    EXPECT_EQ(terminated, 2);
    std::string expected = before;
    expected.replace(expected.find("filename=navdata.sqlite"), 23, "filename=autre.sqlite");
    EXPECT_EQ(karvel::test::read_bytes(dir.file("karvel_params.ini")), expected);
    EXPECT_THROW(state.db.sources.connect("karvel_nav", nullptr), std::exception);  // removed
}

TEST_F(WorkflowTest, RegionByListAndByCode) {
    form->Memo1->setPlainText(QStringLiteral("old"));
    form->ComboBox_regionChange(1);
    EXPECT_EQ(state.nav.region_code, "LS");
    EXPECT_EQ(state.nav.selection_text, "LS Suisse");
    EXPECT_EQ(form->Edit_coderegion->text(), QStringLiteral("LS"));
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());

    form->Edit_coderegion->setText(QStringLiteral("eg"));  // lower case finds the stored form
    EXPECT_EQ(state.nav.region_code, "EG");
    EXPECT_EQ(form->ComboBox_region->currentIndex(), 2);

    form->Edit_coderegion->setText(QStringLiteral("EGX"));  // a third character: nothing
    EXPECT_EQ(state.nav.region_code, "EG");
    form->ComboBox_region->setCurrentIndex(0);
    form->Edit_coderegion->setText(QStringLiteral("EG"));  // back to two: looked up again
    EXPECT_EQ(form->ComboBox_region->currentIndex(), 2);

    form->Edit_coderegion->setText(QStringLiteral("ZZ"));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"code invalide"});
    EXPECT_EQ(form->ComboBox_region->currentIndex(), -1);
    EXPECT_EQ(state.nav.region_code, "EG");  // the last valid code stays
    EXPECT_EQ(state.nav.selection_text, "EG Royaume-Uni");

    // The second line of a shared code: the edit's lookup finds the first.
    form->ComboBox_regionChange(3);
    EXPECT_EQ(state.nav.selection_text, "LF France");
    EXPECT_EQ(form->ComboBox_region->currentIndex(), 0);
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
    EXPECT_FALSE(message.isVisible());
    EXPECT_EQ(message.windowTitle(), QStringLiteral("chargement des données"));
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
    form->Edit_ICAO->setText(QStringLiteral("LFPG"));
    form->Edit_dist->setText(QStringLiteral("50"));
    form->Button_rechparairort->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_EQ(form->Label_selection->text(), QStringLiteral("LFPG:50nm   visu:50nm"));
    EXPECT_GT(form->ListBox_sid->count(), 0);
    EXPECT_FALSE(form->Memo1->toPlainText().isEmpty());
    const int airports = form->ListBox_airports->count();

    // Not an integer, or 0: refused before anything changes.
    for (const char* radius : {"abc", "", "0"}) {
        form->Edit_dist->setText(QString::fromLatin1(radius));
        form->Button_rechparairort->click();
        EXPECT_FALSE(message.isVisible());
        EXPECT_EQ(form->ListBox_airports->count(), airports);
        EXPECT_EQ(state.nav.selection_text, "LFPG:50nm");
    }
    EXPECT_EQ(dialogs.errors.size(), 3u);
    EXPECT_EQ(dialogs.errors[0], "'abc' n'est pas une valeur enti\xE8re correcte");

    // A click on the current SID again shows it again.
    QListWidget* sids = form->ListBox_sid;
    const QPoint at = sids->visualItemRect(sids->item(0)).center();
    auto click = [&] {
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, sids->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(sids->viewport(), &e);
        }
    };
    click();
    const QString shown = form->Label_legs->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("SID: "))) << shown.toStdString();
    form->Label_legs->setText(QStringLiteral("Legs"));
    click();
    EXPECT_EQ(form->Label_legs->text(), shown);
}

// A selection that fails, an unknown code or a statement the database
// refuses, leaves the one before it whole: lists, counts, centre, caption,
// and what a save then writes.
TEST_F(WorkflowTest, AFailingSelectionKeepsThePreviousOneWhole) {
    form->Edit_ICAO->setText(QStringLiteral("LFMN"));
    form->Edit_dist->setText(QStringLiteral("30"));
    form->Button_rechparairort->click();
    ASSERT_TRUE(dialogs.errors.empty());
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

    form->Edit_ICAO->setText(QStringLiteral("ZZZZ"));
    form->Edit_dist->setText(QStringLiteral("80"));
    form->Button_rechparairort->click();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("ZZZZ"), std::string::npos);

    karvel::test::build_database(dir.file("navdata.sqlite"), "drop table ILSes;");
    form->Edit_ICAO->setText(QStringLiteral("LFPG"));
    form->Button_rechparairort->click();
    ASSERT_EQ(dialogs.errors.size(), 2u);
    EXPECT_NE(dialogs.errors[1].find("ILSes"), std::string::npos);
    EXPECT_FALSE(message.isVisible());

    EXPECT_EQ(shown(), before);
    EXPECT_EQ(state.nav.centre_lat, centre_lat);
    EXPECT_EQ(state.map.range_nm, range);
    dialogs.save_answers.push_back(dir.file("after.sct"));
    form->Button_enr->click();
    EXPECT_EQ(karvel::test::read_bytes(dir.file("after.sct")),
              karvel::test::read_bytes(dir.file("before.sct")));
}

// A text the sector file cannot hold is told, naming its field; nothing is
// written. The client format wants every identity line.
TEST_F(WorkflowTest, IdentityTextsTheFileCannotHold) {
    form->Edit_ICAO->setText(QStringLiteral("LFMN"));
    form->Button_rechparairort->click();
    form->Edit_callsign->setText(QStringLiteral("NICE \u65E5"));
    form->Button_enr->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("\"CallSign\""), std::string::npos) << dialogs.messages[0];
    form->Edit_callsign->setText(QStringLiteral("LFMN_APP"));
    form->format_clients1->trigger();
    form->Button_enr->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[1].find("\"Nom\""), std::string::npos) << dialogs.messages[1];
    EXPECT_TRUE(dialogs.save_dirs.empty());  // no file was asked for
    EXPECT_NE(karvel::test::read_bytes(dir.file("karvel_params.ini")).find("[sortie]"),
              std::string::npos);
}

TEST_F(WorkflowTest, SavingTheSectorFromTheWindow) {
    form->Edit_ICAO->setText(QStringLiteral("LFMN"));
    form->Edit_dist->setText(QStringLiteral("30"));
    form->Button_rechparairort->click();
    form->Edit_nomsecteur->setText(QStringLiteral("Côte d'Azur"));
    form->Edit_callsign->setText(QStringLiteral("LFMN_APP"));
    dialogs.save_answers.push_back(dir.file("secteurs/nice.sct"));
    form->Button_enr->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_EQ(dialogs.save_dirs.back(), dir.str() + "/secteurs");
    const std::string file = karvel::test::read_bytes(dir.file("secteurs/nice.sct"));
    EXPECT_NE(file.find("[INFO]\r\nC\xF4te d'Azur\r\nLFMN_APP\r\n\r\n"), std::string::npos);
    EXPECT_NE(file.find("LFMN-MEDAL 2B RW22R"), std::string::npos);

    dialogs.save_answers.push_back(std::nullopt);  // "enregistrer" in the menu, cancelled
    form->enregistrer1->trigger();
    EXPECT_EQ(dialogs.save_dirs.size(), 2u);
}
