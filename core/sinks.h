// Where the loaders and the path construction report to: the main window's
// lists, count labels and memo, or their stand-ins on the command line and in
// tests. Every text is Windows-1252.
#pragma once

#include <string>
#include <vector>

namespace karvel {

// The lists of the selection, each with its count label.
enum class List { airports, runways, waypoints, vor, ndb, airways, stars, sids };

class SelectionView {
  public:
    virtual ~SelectionView() = default;
    virtual void clear_list(List list) = 0;
    virtual void add_items(List list, const std::vector<std::string>& items) = 0;
    virtual void set_count_label(List list, const std::string& text) = 0;
};

// Where arithmetic failures of the map's geometry are recorded (the settings
// file's section "erreur", or standard error on the command line).
class ArithmeticErrors {
  public:
    virtual ~ArithmeticErrors() = default;
    virtual void record(const std::string& key, const std::string& value) = 0;
};

class MemoSink {
  public:
    virtual ~MemoSink() = default;
    virtual void add_line(const std::string& line) = 0;
};

// Stand-ins that keep what they are told.
class NullView : public SelectionView {
  public:
    void clear_list(List) override {}
    void add_items(List, const std::vector<std::string>&) override {}
    void set_count_label(List, const std::string&) override {}
};

// The lists' changes kept in order, to be shown later (or never).
class RecordedView : public SelectionView {
  public:
    void clear_list(List list) override { steps_.push_back({Step::clear, list, {}, {}}); }
    void add_items(List list, const std::vector<std::string>& items) override {
        steps_.push_back({Step::add, list, items, {}});
    }
    void set_count_label(List list, const std::string& text) override {
        steps_.push_back({Step::label, list, {}, text});
    }
    // Tells `to` what this one was told, in the same order.
    void replay(SelectionView& to) {
        for (Step& s : steps_) {
            if (s.kind == Step::clear) to.clear_list(s.list);
            if (s.kind == Step::add) to.add_items(s.list, s.items);
            if (s.kind == Step::label) to.set_count_label(s.list, s.text);
        }
        steps_.clear();
    }

  private:
    struct Step {
        enum Kind { clear, add, label } kind;
        List list;
        std::vector<std::string> items;
        std::string text;
    };
    std::vector<Step> steps_;
};

class MemoLines : public MemoSink {
  public:
    void add_line(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

}  // namespace karvel
