// The toolkit's boxes behind the dialog interface, and the one place where an
// error that ends a command is shown.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/dialogs.h"

namespace karvel {

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    std::optional<std::string> open_file(const std::string& title, const std::string& filter,
                                         const std::string& initial_dir) override;
    std::optional<std::string> save_file(const std::string& default_extension,
                                         const std::string& initial_dir,
                                         const std::string& initial_name,
                                         const std::string& filter) override;
    std::optional<TColor> choose_colour(TColor initial) override;

  private:
    QWidget* owner();  // the window a dialog belongs to
    QWidget* parent_;
    // The window the last dialog stood in front of: the error of a command
    // that just asked something belongs to it.
    QPointer<QWidget> last_owner_;
};

// "desc|pattern|desc|pattern" as the toolkit's name filters.
QString qt_name_filters(const std::string& filter);

}  // namespace karvel
