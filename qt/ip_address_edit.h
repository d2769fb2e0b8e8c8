// A four-field IPv4 address input that behaves like the address control of
// Windows, which installers know: '.' or a full field moves on, Backspace at
// a field's start moves back, pasting a dotted address (Ctrl+V, Shift+Insert,
// the menu's Paste) fills every field, and blank fields read as 0. A typed address gives the
// same whatever the box held: a dot typed right after typing moved on (a
// full field, or a dot) is taken as that move, not as another.
#pragma once

#include <QWidget>
#include <array>
#include "qt/res_names.h"

namespace qtui {

class IpAddressEdit : public QWidget {
  Q_OBJECT

 public:
  explicit IpAddressEdit(QWidget* parent = nullptr);

  // The first field in the most significant byte; blank fields count as 0.
  quint32 address() const;
  // Dotted decimal of address(), so a blank control reads "0.0.0.0".
  QString text() const;
  // Fills the fields from dotted text; a part that is not 1-3 digits leaves
  // its field blank, and values over 255 become 255.
  void setText(const QString& dotted);
  void clear();
  // The name a screen reader announces, for the control and, with the field's
  // number, for each field.
  void setLabel(const QString& label);

 signals:
  // Any field's text changed, by the user or by setText().
  void changed();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  class Field;
  static constexpr int kFieldCount = 4;

  // Called by the fields.
  bool moveFocus(int fromField, int step);
  // The move that typing made into the next field, for the dot typed next.
  void moveOnByTyping(int fromField);
  // True, once, when `field` was reached by typing and nothing was typed
  // since: the dot the user types now is the move already made.
  bool takeArrivalByTyping(int field);
  void forgetArrivalByTyping() { arrivedByTyping_ = -1; }
  // Pasted text with a dot: a dotted address fills all four fields, anything
  // else is dropped (a dot never goes into a field). False for text without a
  // dot, which the field takes as its own digits.
  bool pasteAddress(const QString& pasted);
  void digitTyped(int field);
  // Cuts a value over 255 to 255; true if it had to.
  bool constrain(int field);

  std::array<Field*, kFieldCount> fields_{};
  int arrivedByTyping_ = -1;
};

}  // namespace qtui
