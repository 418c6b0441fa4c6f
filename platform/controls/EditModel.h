// The text of an edit control and its caret, apart from any window: typed
// characters, deletions and caret moves, and the lines the text wraps to.
// Plain data; used on the control's thread.
#pragma once

#include <string>

namespace twl::controls {

class EditModel {
 public:
  explicit EditModel(bool multiLine = false) : multiLine_(multiLine) {}

  const std::string& Text() const { return text_; }
  size_t Caret() const { return caret_; }
  // Replaces the text; the caret goes to its end.
  void SetText(std::string text);
  // A typed character (WM_CHAR). True when the text changed.
  bool Type(char ch);
  // Delete key: removes the character after the caret.
  bool DeleteForward();
  void MoveLeft();
  void MoveRight();
  void MoveHome() { caret_ = 0; }
  void MoveEnd() { caret_ = text_.size(); }

 private:
  bool multiLine_;
  std::string text_;
  size_t caret_ = 0;  // byte index, always at a character boundary
};

}  // namespace twl::controls
