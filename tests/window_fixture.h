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
#include "windows/Unit_afich.h"
#include "windows/Unit_carte.h"
#include "windows/Unit_centre.h"
#include "windows/Unit_message.h"
#include "windows/orvane_Unit1.h"

namespace karvel::test {

struct WindowFixture : ::testing::Test {
    // `regions`, when given, replaces the shipped region index.
    explicit WindowFixture(const std::string& regions = {})
        : out(std::filesystem::current_path()), cd(dir.path()) {
        make_program_folder(dir, true);
        if (!regions.empty()) write_bytes(dir.file("index_regions.txt"), regions);
        form = std::make_unique<TForm1>(state, dialogs);
        form->terminate = [this] { ++terminated; };
        created_title = form->windowTitle();
        carte = std::make_unique<TForm_carte>(state, dialogs);
        afich = std::make_unique<TForm_afich>(state, dialogs, carte.get());
        centre = std::make_unique<TForm_centre>(state, carte.get());
        form->set_windows(carte.get(), afich.get(), centre.get(), &message);
        carte->set_windows(afich.get(), centre.get());
        form->show();
        QCoreApplication::processEvents();
    }
    // A selection by airport, clicked; `select` wants it to succeed.
    void by_airport(const char* icao, const char* radius) {
        form->Edit_ICAO->setText(QString::fromLatin1(icao));
        form->Edit_dist->setText(QString::fromLatin1(radius));
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
            (afich.get()->*close)->click();
        });
        carte->affichage1->trigger();
    }

    TempDir dir;
    std::filesystem::path out;  // where the test run writes what it leaves
    CurrentDir cd;
    AppState state;
    ScriptedDialogs dialogs;
    TForm_message message;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm_carte> carte;
    std::unique_ptr<TForm_afich> afich;
    std::unique_ptr<TForm_centre> centre;
    int terminated = 0;     // what ended the program
    QString created_title;  // the main window's title before it was shown
};

}  // namespace karvel::test
