#include "EditModel.h"

namespace twl::controls {
namespace {

bool IsContinuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

}  // namespace

void EditModel::SetText(std::string text) {
  text_ = std::move(text);
  caret_ = text_.size();
}

bool EditModel::Type(char ch) {
  if (ch == '\b') {
    if (caret_ == 0) return false;
    size_t start = caret_ - 1;
    while (start > 0 && IsContinuation(text_[start])) --start;
    // CR LF goes as one.
    if (start > 0 && text_[start] == '\n' && text_[start - 1] == '\r') --start;
    text_.erase(start, caret_ - start);
    caret_ = start;
    return true;
  }
  if (ch == '\r' || ch == '\n') {
    if (!multiLine_) return false;
    text_.insert(caret_, "\r\n");
    caret_ += 2;
    return true;
  }
  if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t') return false;
  text_.insert(caret_, 1, ch);
  ++caret_;
  return true;
}

bool EditModel::DeleteForward() {
  if (caret_ >= text_.size()) return false;
  size_t end = caret_ + 1;
  if (text_[caret_] == '\r' && end < text_.size() && text_[end] == '\n') ++end;
  while (end < text_.size() && IsContinuation(text_[end])) ++end;
  text_.erase(caret_, end - caret_);
  return true;
}

void EditModel::MoveLeft() {
  if (caret_ == 0) return;
  --caret_;
  while (caret_ > 0 && IsContinuation(text_[caret_])) --caret_;
  if (caret_ > 0 && text_[caret_] == '\n' && text_[caret_ - 1] == '\r') --caret_;
}

void EditModel::MoveRight() {
  if (caret_ >= text_.size()) return;
  if (text_[caret_] == '\r' && caret_ + 1 < text_.size() && text_[caret_ + 1] == '\n') ++caret_;
  ++caret_;
  while (caret_ < text_.size() && IsContinuation(text_[caret_])) ++caret_;
}

}  // namespace twl::controls
