#include "platform/ui/TextField.h"

#include "platform/ui/TextInputWidgets.h"

#include <QFontMetrics>
#include <QToolButton>

namespace ui {

namespace {
constexpr double kMinimumFontSize = 9;
}

TextField::TextField(Rect frame)
    : TextField(new LineEditWidget, frame)
{
}

TextField::TextField(LineEditWidget* widget, Rect frame)
    : TextInput(widget, widget->hooks, frame)
{
    widget->setFrame(false);
    widget->hooks.on_return = [this] {
        if (on_shouldReturn)
            on_shouldReturn();
    };
    QObject::connect(widget, &QLineEdit::textChanged, widget, [this] {
        fitFont();
        if (on_textChanged)
            on_textChanged();
    });
}

LineEditWidget& TextField::lineEdit() const { return static_cast<LineEditWidget&>(*widget()); }

std::string TextField::text() const { return lineEdit().text().toStdString(); }

void TextField::setText(const std::string& text) { lineEdit().setText(QString::fromStdString(text)); }

void TextField::setPlaceholder(const std::string& placeholder)
{
    lineEdit().setPlaceholderText(QString::fromStdString(placeholder));
}

void TextField::setClearButtonShown(bool shown)
{
    lineEdit().setClearButtonEnabled(shown);
    // The toolkit's clear button comes without a name.
    for (auto* button : lineEdit().findChildren<QToolButton*>())
        button->setAccessibleName(QStringLiteral("Clear"));
}

void TextField::setSecureTextEntry(bool secure)
{
    lineEdit().setEchoMode(secure ? QLineEdit::Password : QLineEdit::Normal);
}

void TextField::setAdjustsFontSizeToFitWidth(bool adjusts)
{
    m_adjustsFontSize = adjusts;
    fitFont();
}

void TextField::fitFont()
{
    QFont shown = font().toQFont();
    if (m_adjustsFontSize) {
        // Room for the clear button at the right.
        int room = std::max(1, int(frame().width) - 24);
        while (shown.pointSizeF() > kMinimumFontSize && QFontMetrics(shown).horizontalAdvance(lineEdit().text()) > room)
            shown.setPointSizeF(shown.pointSizeF() - 1);
    }
    lineEdit().setFont(shown);
}

} // namespace ui
