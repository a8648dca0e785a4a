#include "platform/ui/TextView.h"

#include "platform/ui/TextInputWidgets.h"

namespace ui {

TextView::TextView(Rect frame)
    : TextView(new PlainTextEditWidget, frame)
{
}

TextView::TextView(PlainTextEditWidget* widget, Rect frame)
    : TextInput(widget, widget->hooks, frame)
{
    widget->setFrameShape(QFrame::NoFrame);
}

PlainTextEditWidget& TextView::textEdit() const { return static_cast<PlainTextEditWidget&>(*widget()); }

std::string TextView::text() const { return textEdit().toPlainText().toStdString(); }

void TextView::setText(const std::string& text) { textEdit().setPlainText(QString::fromStdString(text)); }

void TextView::setPlaceholder(const std::string& placeholder)
{
    textEdit().setPlaceholderText(QString::fromStdString(placeholder));
}

} // namespace ui
