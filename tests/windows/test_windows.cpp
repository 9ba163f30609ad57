// The main window and the map's dialogs offscreen, on the shipped settings
// and sample database, driven through their widgets: captions, region
// choice, both selections, errors, saving, quitting; centring, and the
// visibility range.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QMenuBar>
#include <QTranslator>
#include <QThread>
#include <QToolTip>
#include <algorithm>

#include "core/colours.h"
#include "core/cp1252.h"
#include "core/numtext.h"
#include "map/centre.h"
#include "sector/coord.h"
#include "sector/writer.h"
#include "request_rows.h"
#include "window_fixture.h"
#include "windows/Unit_check.h"
#include "windows/Unit_diff.h"
#include "windows/french.h"

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
    // Each menu entry has its key under Alt (the "&" before a letter).
    for (QAction* a : form->menuBar()->actions()[0]->menu()->actions())
        EXPECT_TRUE(a->isSeparator() || a->text().contains(QLatin1Char('&')));
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
        return std::tuple(form->region().code, form->region().line, form->Edit_coderegion->text(),
                          form->ComboBox_region->currentIndex());
    };
    form->ComboBox_regionChange(1);
    EXPECT_EQ(chosen(), std::tuple("LS", "LS Suisse", QStringLiteral("LS"), 1));
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());

    form->Edit_coderegion->setText(QStringLiteral("eg"));  // lower case finds the stored form
    EXPECT_EQ(chosen(), std::tuple("EG", "EG Royaume-Uni", QStringLiteral("eg"), 2));

    form->Edit_coderegion->setText(QStringLiteral("EGX"));  // a third character: nothing
    EXPECT_EQ(form->region().code, "EG");
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
    EXPECT_EQ(form->region().line, "LF France (bis)");
}

TEST_F(WorkflowTest, SelectionByAirportAndTheProcedureClicked) {
    select("LFPG", "50");
    EXPECT_EQ(form->Label_selection->text(), QStringLiteral("LFPG:50nm   visu:50nm"));
    // The loading message shown during the load is gone after it.
    EXPECT_EQ(std::pair(message->windowTitle(), message->isVisible()),
              std::pair(QStringLiteral("chargement des données"), false));
    EXPECT_GT(form->ListBox_sid->count(), 0);
    EXPECT_FALSE(form->Memo1->toPlainText().isEmpty());
    // A click on the current SID again shows it again.
    const QPoint at = form->ListBox_sid->visualItemRect(form->ListBox_sid->item(0)).center();
    click(form->ListBox_sid, at);
    const QString shown = form->Label_legs->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("SID: "))) << shown.toStdString();
    form->Label_legs->setText(QStringLiteral("Legs"));
    click(form->ListBox_sid, at);
    EXPECT_EQ(form->Label_legs->text(), shown);
}

namespace {

// The window beside karvel-sct, in one program folder.
struct SameAsCommand : WindowFixture {
    // karvel-sct with these words, each quoted for the shell.
    Outcome sct(const std::vector<std::string>& words) {
        std::string command = "'" KARVEL_SCT_PATH "'";
        for (std::string w : words) {
            for (size_t at = 0; (at = w.find('\'', at)) != std::string::npos; at += 4)
                w.replace(at, 1, "'\\''");
            command += " '" + w + "'";
        }
        return run(dir, command);
    }
    // What the window told since the last call (UTF-8), one text at most.
    std::string told() {
        std::vector<std::string> all = dialogs.messages;
        all.insert(all.end(), dialogs.errors.begin(), dialogs.errors.end());
        dialogs.messages.clear();
        dialogs.errors.clear();
        EXPECT_LE(all.size(), 1u);
        return all.empty() ? "" : cp1252_to_utf8(all[0]);
    }
    // Both refuse with the row's words, the command naming the option, or
    // both fail alike, or both accept.
    void expect_same(const RequestRow& row, const Outcome& command, const std::string& window) {
        SCOPED_TRACE(row.where);
        EXPECT_TRUE(!row.refused || window == row.answer.at(0)) << window;
        if (command.status == 0) {
            EXPECT_EQ(window, "");
            return;
        }
        EXPECT_EQ(command.err,
                  "karvel-sct: " + (row.refused ? row.input + " : " : std::string()) + window + "\n");
    }
    // The name the window proposes for the selection: karvel-sct's.
    void expect_same_name(const Outcome& command) {
        dialogs.save_answers.push_back(std::nullopt);
        form->Button_enr->click();
        EXPECT_EQ(command.out, "secteurs/" + dialogs.save_names.back() + "\n");
    }
};

}  // namespace

// Every row of requests.tsv the window can be given: what it refuses,
// karvel-sct refuses with the same words; what it accepts, karvel-sct
// accepts, and the window proposes the file name karvel-sct writes.
TEST_F(SameAsCommand, TheSameTextsTakenAndRefused) {
    for (const RequestRow& row : request_rows("airport")) {
        const std::string before = selection_caption(state);
        by_airport(row.typed.at(0), row.typed.at(1));
        const std::string shown = told();
        const Outcome command = sct({"--airport", row.typed[0], "--radius", row.typed[1]});
        expect_same(row, command, shown);
        if (command.status == 0) expect_same_name(command);
        EXPECT_TRUE(!row.refused || selection_caption(state) == before) << row.where;
    }
    // A code of other than two characters is no choice in the window.
    for (const RequestRow& row : request_rows("region")) {
        const QString code = QString::fromStdString(row.typed.at(0));
        if (code.size() != 2) continue;
        form->Edit_coderegion->setText(code);
        std::string shown = told();
        if (shown.empty()) {
            form->Button_rechparregion->click();
            shown = told();
        }
        const Outcome command = sct({"--region", row.typed[0]});
        expect_same(row, command, shown);
        if (command.status == 0) expect_same_name(command);
    }
    for (const RequestRow& row : request_rows("identity")) {
        const bool client = row.typed.at(3) == "1";
        form->Edit_nomsecteur->setText(QString::fromStdString(row.typed.at(0)));
        form->Edit_callsign->setText(QString::fromStdString(row.typed.at(1)));
        form->Edit_ICAOsecteur->setText(QString::fromStdString(row.typed.at(2)));
        form->format_clients1->setChecked(client);
        const size_t asked = dialogs.save_dirs.size();
        dialogs.save_answers.push_back(std::nullopt);
        form->Button_enr->click();
        const std::string shown = told();
        EXPECT_EQ(dialogs.save_dirs.size(), asked + !row.refused) << row.where;  // none asked
        dialogs.save_answers.clear();
        std::vector<std::string> words{"--region",  "LF",           "--name",
                                       row.typed[0], "--callsign",   row.typed[1],
                                       "--sector-icao", row.typed[2], "--output", "x.sct"};
        if (client) words.insert(words.end(), {"--client-format", "--date", "2026-12-07"});
        expect_same(row, sct(words), shown);
    }
    for (const RequestRow& row : request_rows("centrelines")) {
        dialogs.input_answers = {row.typed.at(0)};
        form->axes1->trigger();
        expect_same(row,
                    sct({"--region", "LF", "--client-format", "--name", "N", "--callsign", "C",
                         "--sector-icao", "I", "--date", "2026-12-07", "--centrelines",
                         row.typed[0], "--output", "c.sct"}),
                    told());
    }
    for (const RequestRow& row : request_rows("sectors")) {
        dialogs.input_answers = {row.typed.at(0)};
        form->secteurs1->trigger();
        expect_same(row,
                    sct({"--region", "LF", "--client-format", "--name", "N", "--callsign", "C",
                         "--sector-icao", "I", "--date", "2026-12-07", "--sectors", row.typed[0],
                         "--output", "s.sct"}),
                    told());
    }
}

// The client format's extended centrelines, set in the window and kept
// for the next start; the path saved told in the memo.
TEST_F(WorkflowTest, SavingTheClientFormatWithItsCentrelines) {
    select("LFMN", "30");
    for (QLineEdit* e : {form->Edit_nomsecteur, form->Edit_callsign, form->Edit_ICAOsecteur})
        e->setText(QStringLiteral("Côte"));
    form->format_clients1->trigger();
    dialogs.input_answers = {std::string("5")};
    form->axes1->trigger();
    EXPECT_THAT(read_bytes(dir.file("karvel_params.ini")), HasSubstr("axes=5"));
    dialogs.input_answers = {std::string("ctr tma")};
    form->secteurs1->trigger();
    EXPECT_THAT(read_bytes(dir.file("karvel_params.ini")), HasSubstr("secteurs=CTR,TMA"));
    dialogs.save_answers.push_back(dir.file("secteurs/c.sct"));
    form->enregistrer1->trigger();  // the menu's save, as the button's
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    const std::string file = read_bytes(dir.file("secteurs/c.sct"));
    EXPECT_THAT(file, HasSubstr("[INFO]\r\nC\xF4te\r\nC\xF4te\r\nC\xF4te\r\n"));
    EXPECT_THAT(file, HasSubstr(" centreline\r\n"));
    EXPECT_THAT(read_bytes(dir.file("secteurs/c.ese")), HasSubstr("[AIRSPACE]\r\n"));
    EXPECT_TRUE(form->Memo1->toPlainText().endsWith(
        QStringLiteral("enregistré : ") + QString::fromStdString(dir.file("secteurs/c.geojson"))));
    // The file for the client that reads .sct2, proposed under that name, kept.
    form->client_files1[1]->trigger();
    EXPECT_THAT(read_bytes(dir.file("karvel_params.ini")), HasSubstr("fichier=sct2"));
    dialogs.save_answers.push_back(dir.file("secteurs/c.sct2"));
    form->enregistrer1->trigger();
    EXPECT_EQ(dialogs.save_names.back(), "LFMN_30nm.sct2");
    EXPECT_THAT(read_bytes(dir.file("secteurs/c.sct2")), HasSubstr("[GEO]"));

    // The file checked from the menu, with its companion file: no error;
    // a broken one lists its findings, a click shows the line.
    dialogs.open_answers = {dir.file("secteurs/c.sct"), dir.file("secteurs/b.sct")};
    form->verifier1->trigger();
    ASSERT_NE(form->check_, nullptr);
    EXPECT_TRUE(form->check_->windowTitle().contains(QStringLiteral(": 0 erreur(s)")))
        << form->check_->windowTitle().toStdString();
    write_bytes(dir.file("secteurs/b.sct"), "[INFO]\r\nN\r\n[VOR]\r\nABC 114.700 N095.00.00.000 E005.00.00.000\r\n");
    form->verifier1->trigger();
    ASSERT_EQ(form->check_->ListBox_constats->count(), 2);
    form->check_->ListBox_constats->setCurrentRow(1);
    EXPECT_EQ(form->check_->Label_ligne->text().toStdString(),
              "ligne 4 : ABC 114.700 N095.00.00.000 E005.00.00.000");
}

// The selection against an older cycle that had one more fix: that fix
// withdrawn since, in the changes' window.
TEST_F(WorkflowTest, TheSelectionAgainstAnOlderCycle) {
    select("LFPG", "50");
    build_sample_database(dir.file("ancien.sqlite"));
    build_database(dir.file("ancien.sqlite"),
                   "insert into waypoints (ident, latitude, longtitude) values ('OLDFX', 49.1, 2.6)");
    dialogs.open_answers = {dir.file("ancien.sqlite")};
    form->comparer1->trigger();
    ASSERT_NE(form->diff_, nullptr);
    EXPECT_EQ(form->diff_->ListBox_changements->item(0)->text(), QString::fromUtf8("points : 1 retiré"));
    EXPECT_TRUE(form->diff_->windowTitle().contains(QStringLiteral("ancien.sqlite")));
}

// A line cut by its list shows whole in its tooltip, a short one has none;
// the memo is read and copied, never typed over or undone, and Tab leaves it.
TEST_F(WorkflowTest, CutListLinesAndTheMemo) {
    select("LFPG", "50");
    QListWidget* list = form->ListBox_vor;
    const QString long_line = QString(300, QLatin1Char('W')) + QStringLiteral(" 115.350");
    list->insertItem(0, long_line);
    list->insertItem(1, QStringLiteral("X"));
    const auto tip = [&](int row) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QHelpEvent e(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &e);
        // A tooltip leaves after a short delay.
        for (int i = 0; i < 100 && QToolTip::isVisible() && QToolTip::text() != list->item(row)->text(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(10);
        }
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tip(0), long_line);
    EXPECT_EQ(tip(1), QString());

    const QString memo = form->Memo1->toPlainText();
    ASSERT_FALSE(memo.isEmpty());
    form->activateWindow();
    form->Memo1->setFocus();
    for (const auto& [key, mods] : {std::pair{Qt::Key_X, Qt::NoModifier},
                                    std::pair{Qt::Key_Z, Qt::ControlModifier},
                                    std::pair{Qt::Key_Delete, Qt::NoModifier}}) {
        QKeyEvent press(QEvent::KeyPress, key, mods, key == Qt::Key_X ? QStringLiteral("x") : QString());
        QCoreApplication::sendEvent(form->Memo1, &press);
    }
    EXPECT_EQ(form->Memo1->toPlainText(), memo);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(form->Memo1, &tab);
    EXPECT_EQ(form->Memo1->toPlainText(), memo);  // no tab character
    EXPECT_FALSE(form->Memo1->hasFocus());
}

// French whatever the locale (the tests run under C): the toolkit's
// catalogue, what it lacks, the month names of the file dialogs.
TEST(French, WhateverTheSystemsLocale) {
    auto& app = *static_cast<QApplication*>(QCoreApplication::instance());
    speak_french(app);
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
              QStringLiteral("Dossier"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 7), QStringLiteral("d MMM")),
              QStringLiteral("7 déc."));
    for (QTranslator* t : app.findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QLocale::setDefault(QLocale::c());
}

// The ground's menu item: the selected airport proposed; a database
// without ground refused in the error box.
TEST_F(WorkflowTest, TheGroundMenuItem) {
    select("LFMN", "30");
    dialogs.input_answers = {std::string("lfmn")};
    form->sol1->trigger();
    EXPECT_THAT(dialogs.inputs, ElementsAre(::testing::EndsWith("|LFMN")));
    EXPECT_THAT(dialogs.errors, ElementsAre(HasSubstr(w1252("n'a pas de plans au sol"))));
}

namespace {

struct CentreTest : WindowFixture {
    CentreTest() {
        select("LFPG", "50", 0);
        form->Button1->click();  // "carte"
        carte->centrer1->trigger();
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < centre->ListBox1->count(); ++i)
            out.push_back(from_qstring(centre->ListBox1->item(i)->text()));
        return out;
    }
    void choose_kind(int k) { centre->RadioGroup1->findChildren<QAbstractButton*>()[k]->click(); }
};

std::vector<std::string> sorted_codes(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());  // the sample's codes are capitals and digits
    return v;
}

}  // namespace

TEST_F(CentreTest, KindsListTheirCodesSortedAndTheShowStepStartsOver) {
    ASSERT_TRUE(centre->isVisible());
    EXPECT_EQ(centre->RadioGroup1->item_index(), 0);
    std::vector<std::string> icaos;
    for (const Airport& a : state.nav.airports) icaos.push_back(a.icao);
    EXPECT_EQ(lines(), sorted_codes(icaos));

    choose_kind(1);  // VORs and the ILS localisers together
    std::vector<std::string> vors;
    for (const VOR& v : state.nav.vors) vors.push_back(v.ident);
    EXPECT_EQ(lines(), sorted_codes(vors));

    state.nav.waypoints[0].selected = false;
    choose_kind(3);
    EXPECT_THAT(lines(), ::testing::AllOf(::testing::SizeIs(state.nav.waypoints.size()),
                                          ::testing::Contains(state.nav.waypoints[0].ident)));

    centre->Button_anul->click();
    EXPECT_FALSE(centre->isVisible());
    carte->centrer1->trigger();
    EXPECT_EQ(centre->RadioGroup1->item_index(), 0);
    EXPECT_EQ(lines().size(), state.nav.airports.size());  // built once, not twice
}

TEST_F(CentreTest, CentresOnTheLastOfEqualCodesAndTheSectorFileFollows) {
    ASSERT_GE(state.nav.vors.size(), 4u);
    state.nav.vors[2].ident = state.nav.vors[0].ident;
    std::string lower = state.nav.vors[0].ident;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    state.nav.vors[3].ident = lower;  // another code: letter case counts
    choose_kind(1);
    const auto all = lines();
    const auto first = std::find(all.begin(), all.end(), state.nav.vors[0].ident);
    ASSERT_EQ(std::count(all.begin(), all.end(), *first), 2);

    // No line chosen: nothing happens, the dialog stays.
    centre->ListBox1->setCurrentRow(-1);
    const double lat = state.frame.centre_lat;
    centre->Button_centrer->click();
    EXPECT_TRUE(centre->isVisible());
    EXPECT_EQ(state.frame.centre_lat, lat);
    EXPECT_TRUE(dialogs.errors.empty());

    centre->ListBox1->setCurrentRow(static_cast<int>(first - all.begin()));
    const float px = state.frame.view.px_per_nm;
    centre->Button_centrer->click();
    EXPECT_FALSE(centre->isVisible());
    const VOR& v = state.nav.vors[2];
    EXPECT_EQ(
        std::tuple(state.frame.centre_lat, state.frame.centre_lon, state.frame.view.px_per_nm),
        std::tuple(v.latitude, v.longitude, px));
    // The map was drawn about the new centre.
    EXPECT_EQ(viewport_of(state.map, state.frame).to_pixel(v.latitude, v.longitude),
              (Pixel{488, 337}));

    dialogs.save_answers = {dir.file("s.sct")};
    form->Button_enr->click();
    const CoordText c = format_coord({v.latitude, v.longitude});
    EXPECT_THAT(read_bytes(dir.file("s.sct")),
                HasSubstr("\r\n" + c.latitude + "\r\n" + c.longitude + "\r\n"));
}

TEST_F(CentreTest, VisibilityRange) {
    const float px = state.frame.view.px_per_nm;
    dialogs.input_answers = {std::string("80"), std::nullopt, std::string("abc")};
    carte->visibili1->trigger();
    EXPECT_EQ(dialogs.inputs[0], w1252("visiblité|nm|50"));
    EXPECT_EQ(std::pair(state.frame.view.range_nm, state.frame.view.px_per_nm), std::pair(80, px));
    carte->setWindowTitle(QString());
    carte->visibili1->trigger();  // cancelled: the range stays, the caption is rewritten
    EXPECT_EQ(carte->windowTitle(), QStringLiteral("LFPG:50nm   visu:80nm"));
    carte->visibili1->trigger();  // a wrong number is told
    EXPECT_EQ(state.frame.view.range_nm, 80);
    EXPECT_THAT(dialogs.errors, ElementsAre(w1252("'abc' n'est pas une valeur entière correcte")));
    EXPECT_THROW(decimal_range("$10"), std::exception);
    EXPECT_EQ(decimal_range(" -7"), -7);
}
