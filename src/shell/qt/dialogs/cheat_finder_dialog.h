// The Vantrell Cheat Finder (117): searches the running game's memory by value, by address or by
// change, names found addresses and writes a value to a named one. The game keeps running while
// it is open; every read and write of game memory happens between two frames.
#pragma once

#include <memory>

#include "cheats/cheat_finder.h"
#include "shell/qt/dialogs/dialog_ids.h"

namespace Ui {
class CheatFinderDialog;
}

// The comparison buttons of a search by change, in their id order 1062-1067.
inline constexpr struct {
  int id;
  FinderChange how;
} kFinderChangeButtons[] = {
    {1062, FinderChange::Equal},          {1063, FinderChange::LessOrEqual},
    {1064, FinderChange::GreaterOrEqual}, {1065, FinderChange::NotEqual},
    {1066, FinderChange::Greater},        {1067, FinderChange::Less},
};

class CheatFinderDialog : public NumberedDialog {
 public:
  explicit CheatFinderDialog(QWidget* parent = nullptr);
  ~CheatFinderDialog() override;

 private:
  void show_search_kind();
  void find();
  void search_change(FinderChange how);
  void show_results();
  void add_address();
  void fill_names();
  void show_named();
  void apply_cheat();

  std::unique_ptr<Ui::CheatFinderDialog> ui_;
};

// Runs the finder until it is closed and returns 1 after OK, 2 after Escape or the close box.
// It blocks its caller like a modal dialog but leaves the other windows usable, so that the game
// can be played between two searches; a second call while one is open brings that one to the
// front and returns 0.
int cheat_finder_dialog_exec(QWidget* parent);
