#include "qt/ip_address_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyleOptionFrame>

#include <algorithm>
#include <memory>

#include "res/strings.h"

namespace qtui {

namespace {

constexpr int kMaxFieldValue = 255;

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isWellFormedField(const QString& text) {
  return !text.isEmpty() && text.size() <= 3 && std::all_of(text.begin(), text.end(), isAsciiDigit);
}

// Blank reads as 0, and a pasted value over 255 reads as 255 before the field
// is left and corrected.
int valueOf(const QString& fieldText) { return std::min(fieldText.toInt(), kMaxFieldValue); }

bool isModifierOnly(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
      return true;
    default:
      return false;
  }
}

}  // namespace

// One of the four fields. Keys that move between fields are handled before the
// line edit sees them; a typed digit is checked after it has gone in.
class IpAddressEdit::Field : public QLineEdit {
 public:
  Field(IpAddressEdit& owner, int index) : QLineEdit(&owner), owner_(owner), index_(index) {
    setFrame(false);
    setMaxLength(3);
    setAlignment(Qt::AlignCenter);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
    // Tab enters the control at its first field and leaves it from any field.
    setFocusPolicy(index == 0 ? Qt::StrongFocus : Qt::ClickFocus);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (isModifierOnly(*event)) {
      QLineEdit::keyPressEvent(event);
      return;
    }
    const bool arrivedByTyping = owner_.takeArrivalByTyping(index_);
    if (event->matches(QKeySequence::Paste)) {
      pasteHere();
      return;
    }
    if (event->key() == Qt::Key_Period) {
      // Consumed in any case: a dot never goes into a field.
      if (!arrivedByTyping && !text().isEmpty()) owner_.moveOnByTyping(index_);
      return;
    }
    if (movesFocus(event)) return;
    const QString before = text();
    QLineEdit::keyPressEvent(event);
    if (event->text().size() == 1 && isAsciiDigit(event->text().front()) && text() != before)
      owner_.digitTyped(index_);
  }

  // The standard menu, its Paste taking a dotted address into every field.
  // Its Paste is the entry connected to QLineEdit::paste (Qt 6.4 connects it
  // by name, later versions may not).
  void contextMenuEvent(QContextMenuEvent* event) override {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions())
      if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
          disconnect(action, &QAction::triggered, this, &QLineEdit::paste))
        connect(action, &QAction::triggered, this, &Field::pasteHere);
    menu->exec(event->globalPos());
  }

  void focusInEvent(QFocusEvent* event) override {
    QLineEdit::focusInEvent(event);
    owner_.update();  // the frame shows the focus
  }

  void focusOutEvent(QFocusEvent* event) override {
    owner_.forgetArrivalByTyping();
    owner_.constrain(index_);
    QLineEdit::focusOutEvent(event);
    owner_.update();
  }

 private:
  void pasteHere() {
    if (!owner_.pasteAddress(QApplication::clipboard()->text())) paste();
  }

  bool caretAtStart() const { return !hasSelectedText() && cursorPosition() == 0; }
  bool caretAtEnd() const { return !hasSelectedText() && cursorPosition() == text().size(); }

  bool movesFocus(QKeyEvent* event) {
    switch (event->key()) {
      case Qt::Key_Backspace:
      case Qt::Key_Left:
        return caretAtStart() && owner_.moveFocus(index_, -1);
      case Qt::Key_Right:
        return caretAtEnd() && owner_.moveFocus(index_, +1);
      default:
        return false;
    }
  }

  IpAddressEdit& owner_;
  const int index_;
};

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent) {
  QStyleOptionFrame frame;
  frame.initFrom(this);
  const int frameWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(frameWidth, frameWidth, frameWidth, frameWidth);
  row->setSpacing(0);
  for (int i = 0; i < kFieldCount; ++i) {
    if (i > 0) row->addWidget(new QLabel(QStringLiteral("."), this));
    fields_[i] = new Field(*this, i);
    row->addWidget(fields_[i], 1);
    connect(fields_[i], &QLineEdit::textChanged, this, &IpAddressEdit::changed);
  }
  setFocusPolicy(Qt::StrongFocus);
  setFocusProxy(fields_[0]);
  setLabel(QString());
}

quint32 IpAddressEdit::address() const {
  quint32 value = 0;
  for (const Field* field : fields_) value = (value << 8) | static_cast<quint32>(valueOf(field->text()));
  return value;
}

QString IpAddressEdit::text() const {
  const quint32 value = address();
  return QStringLiteral("%1.%2.%3.%4")
      .arg(value >> 24)
      .arg((value >> 16) & 0xFF)
      .arg((value >> 8) & 0xFF)
      .arg(value & 0xFF);
}

void IpAddressEdit::setText(const QString& dotted) {
  const QStringList parts = dotted.split(u'.');
  for (int i = 0; i < kFieldCount; ++i) {
    const QString part = i < parts.size() ? parts[i] : QString();
    fields_[i]->setText(isWellFormedField(part) ? QString::number(valueOf(part)) : QString());
  }
}

void IpAddressEdit::clear() {
  for (Field* field : fields_) field->clear();
}

void IpAddressEdit::setLabel(const QString& label) {
  setAccessibleName(label);
  for (int i = 0; i < kFieldCount; ++i)
    fields_[i]->setAccessibleName(QString::fromStdString(strings::addressFieldName(label.toStdString(), i + 1)).trimmed());
}

void IpAddressEdit::paintEvent(QPaintEvent*) {
  QStyleOptionFrame frame;
  frame.initFrom(this);
  frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
  frame.state |= QStyle::State_Sunken;
  if (std::any_of(fields_.begin(), fields_.end(), [](const Field* field) { return field->hasFocus(); }))
    frame.state |= QStyle::State_HasFocus;
  QPainter painter(this);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
}

bool IpAddressEdit::moveFocus(int fromField, int step) {
  const int to = fromField + step;
  if (to < 0 || to >= kFieldCount) return false;
  Field* target = fields_[to];
  target->setFocus(Qt::OtherFocusReason);
  // Forward, the next field is selected so typing replaces it; back, the
  // caret goes to the end so Backspace goes on deleting.
  if (step > 0)
    target->selectAll();
  else
    target->end(false);
  return true;
}

void IpAddressEdit::moveOnByTyping(int fromField) {
  if (moveFocus(fromField, +1)) arrivedByTyping_ = fromField + 1;
}

bool IpAddressEdit::takeArrivalByTyping(int field) {
  const bool arrived = arrivedByTyping_ == field;
  arrivedByTyping_ = -1;
  return arrived;
}

bool IpAddressEdit::pasteAddress(const QString& pasted) {
  const QString dotted = pasted.trimmed();
  if (!dotted.contains(u'.')) return false;  // a field's own digits: the field takes them
  const QStringList parts = dotted.split(u'.');
  const bool isAddress = parts.size() == kFieldCount && std::all_of(parts.begin(), parts.end(), [](const QString& part) {
    return isWellFormedField(part) && part.toInt() <= kMaxFieldValue;
  });
  // A dot never goes into a field, so a paste that is no address is dropped.
  if (!isAddress) return true;
  setText(dotted);
  fields_[kFieldCount - 1]->setFocus(Qt::OtherFocusReason);
  fields_[kFieldCount - 1]->end(false);
  return true;
}

void IpAddressEdit::digitTyped(int field) {
  if (fields_[field]->text().size() < 3) return;
  // A full field moves on, unless its value had to be cut to 255: then the
  // caret stays, so the user sees what happened.
  if (!constrain(field)) moveOnByTyping(field);
}

bool IpAddressEdit::constrain(int field) {
  if (fields_[field]->text().toInt() <= kMaxFieldValue) return false;
  fields_[field]->setText(QString::number(kMaxFieldValue));
  return true;
}

}  // namespace qtui
