#include "core/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/magnetic.h"
#include "core/numtext.h"

namespace karvel {

namespace fs = std::filesystem;

std::optional<std::string> installed_data_dir() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return std::nullopt;
    const fs::path data = self.parent_path().parent_path() / "share" / "karvel";
    if (self.parent_path().filename() != "bin" ||
        !fs::is_regular_file(data / "karvel_params.ini", ec))
        return std::nullopt;
    return data.string();
}

namespace {

std::string user_folder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return (fs::path(xdg) / "karvel").string();
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        throw Error(w1252("Ni XDG_DATA_HOME ni HOME : pas de dossier pour karvel"));
    return (fs::path(home) / ".local" / "share" / "karvel").string();
}

// `name` in the user folder points into the installation, unless the user
// put a file or folder of their own there.
void link_to(const fs::path& folder, const char* name, const fs::path& target) {
    std::error_code ec;
    const fs::path link = folder / name;
    if (fs::is_symlink(link, ec)) {
        if (fs::read_symlink(link, ec) == target) return;
        fs::remove(link, ec);
    } else if (fs::exists(link, ec)) {
        return;
    }
    fs::create_symlink(target, link, ec);
}

}  // namespace

std::string prepare_user_folder(const std::string& data_dir) {
    const fs::path folder = user_folder();
    std::error_code ec;
    fs::create_directories(folder / "secteurs", ec);
    if (!fs::is_directory(folder / "secteurs", ec))
        throw Error(w1252("Impossible de créer le dossier \"") + path_text(folder.string()) + "\"");
    const fs::path data(data_dir);
    for (const char* f : {"karvel_params.ini", "index_regions.txt"})
        if (!fs::exists(folder / f, ec)) {  // the user's own settings stay
            fs::copy_file(data / f, folder / f, ec);
            if (ec)
                throw Error(w1252("Impossible de copier \"") + path_text((data / f).string()) +
                            w1252("\" dans \"") + path_text(folder.string()) + "\"");
            fs::permissions(folder / f, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add, ec);
        }
    link_to(folder, "navdata.sqlite", data / "navdata.sqlite");
    link_to(folder, kMagneticModelFile, data / kMagneticModelFile);
    link_to(folder, "geo", data / "geo");
    return folder.string();
}

std::string enter_program_folder() {
    const auto data = installed_data_dir();
    if (!data) return {};
    std::error_code ec;
    const std::string before = fs::current_path(ec).string();
    const std::string folder = prepare_user_folder(*data);
    if (::chdir(folder.c_str()) != 0)
        throw Error(w1252("Impossible d'entrer dans le dossier \"") + path_text(folder) + "\"");
    return before.empty() ? std::string("/") : before;
}

}  // namespace karvel
