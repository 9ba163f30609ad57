// The program's windows offscreen, wired as at start-up, on a program folder
// made for the test (shipped settings, sample database, the geography of
// runtime/geo), with scripted dialogs; mouse helpers for the map.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "support.h"
#include "windows/program_windows.h"

namespace karvel::test {

// `D` answers the dialogs: scripted here, the toolkit's own on a desktop.
template <class D = ScriptedDialogs>
struct WindowFixtureOf : ::testing::Test {
    // `regions`, when given, replaces the shipped region index.
    explicit WindowFixtureOf(const std::string& regions = {})
        : out(std::filesystem::current_path()), cd(dir.path()) {
        make_program_folder(dir, true);
        if (!regions.empty()) write_bytes(dir.file("index_regions.txt"), regions);
        windows = std::make_unique<ProgramWindows>(state, dialogs);
        form = &windows->form, carte = &windows->carte, afich = &windows->afich;
        centre = &windows->centre, message = &windows->message;
        form->terminate = [this] { ++terminated; };
        created_title = form->windowTitle();
        form->show();
        QCoreApplication::processEvents();
    }
    // A selection by airport (UTF-8 texts), clicked; `select` wants it to succeed.
    void by_airport(const std::string& icao, const std::string& radius) {
        form->Edit_ICAO->setText(QString::fromStdString(icao));
        form->Edit_dist->setText(QString::fromStdString(radius));
        form->Button_rechparairort->click();
    }
    void select(const char* icao, const char* radius, int geo_level = 0) {
        form->RadioGroup_coast->findChildren<QAbstractButton*>()[geo_level]->click();
        by_airport(icao, radius);
        ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    }
    // A left click at `p` in a list's or a grid's viewport, as the mouse makes it.
    static void click(QAbstractScrollArea* area, QPoint p) {
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, p, area->viewport()->mapToGlobal(p), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(area->viewport(), &e);
        }
    }
    void send(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(x, y), carte->surface->mapToGlobal(QPointF(x, y)), button,
                      buttons, mods);
        QCoreApplication::sendEvent(carte->surface, &e);
    }
    // Opens the parameters dialog from the map's menu, runs `body` in it, then
    // closes it with `close` ("enregistrer" or "annuler").
    void in_parameters(const std::function<void()>& body,
                       QPushButton* TForm_afich::*close = &TForm_afich::Button_ok) {
        QTimer::singleShot(0, [&] {
            body();
            (afich->*close)->click();
        });
        carte->affichage1->trigger();
    }

    TempDir dir;
    std::filesystem::path out;  // where the test run writes what it leaves
    CurrentDir cd;
    AppState state;
    D dialogs;
    std::unique_ptr<ProgramWindows> windows;
    TForm1* form;
    TForm_carte* carte;
    TForm_afich* afich;
    TForm_centre* centre;
    TForm_message* message;
    int terminated = 0;     // what ended the program
    QString created_title;  // the main window's title before it was shown
};
using WindowFixture = WindowFixtureOf<>;

}  // namespace karvel::test
