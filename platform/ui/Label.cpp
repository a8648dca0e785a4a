#include "platform/ui/Label.h"

#include "platform/ui/QtConversions.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>

namespace ui {

namespace {
constexpr double kMinimumFontSize = 8;
// Longer than any word of a sentence: a key's fingerprint, a path.
constexpr int kLongWord = 20;
// A marker pen's yellow behind what a search found.
constexpr const char* kHighlightStyle = "background-color:#ffe066;";

// A word longer than a line may break anywhere (a zero-width space between
// its characters) instead of being cut off at both sides.
QString withBreakableLongWords(const QString& text)
{
    static const QRegularExpression longWord(QStringLiteral("\\S{%1,}").arg(kLongWord));
    QString result;
    qsizetype done = 0;
    for (auto match = longWord.globalMatch(text); match.hasNext();) {
        auto word = match.next();
        result += text.mid(done, word.capturedStart() - done);
        const QString captured = word.captured();
        for (qsizetype i = 0; i < captured.size(); ++i)
            result += (i > 0 ? QString(QChar(0x200B)) : QString()) + captured[i];
        done = word.capturedEnd();
    }
    return result + text.mid(done);
}

Qt::Alignment toQtAlignment(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Center:
        return Qt::AlignCenter;
    case TextAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case TextAlignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}
} // namespace

Label::Label(Rect frame)
    : View(new QLabel, frame)
{
    // A note's name is text, never markup: "<img src=…>" shows as typed.
    label().setTextFormat(Qt::PlainText);
    label().setAlignment(toQtAlignment(m_alignment));
    setTextColor(m_textColor);
    updateFont();
}

QLabel& Label::label() const { return static_cast<QLabel&>(*widget()); }

void Label::setText(std::string text)
{
    m_text = std::move(text);
    m_highlights.clear();
    updateText();
}

void Label::setHighlightedRanges(std::vector<core::TextRange> ranges)
{
    std::erase_if(ranges, [&](const core::TextRange& range) {
        return range.length == 0 || range.start >= m_text.size() || range.length > m_text.size() - range.start;
    });
    m_highlights = std::move(ranges);
    updateText();
}

QString Label::markedText() const
{
    QString marked;
    std::size_t done = 0;
    for (const auto& range : m_highlights) {
        if (range.start < done)
            continue;
        marked += QString::fromStdString(m_text.substr(done, range.start - done)).toHtmlEscaped();
        marked += QStringLiteral("<span style=\"%1\">").arg(QLatin1String(kHighlightStyle))
            + QString::fromStdString(m_text.substr(range.start, range.length)).toHtmlEscaped()
            + QStringLiteral("</span>");
        done = range.start + range.length;
    }
    return marked + QString::fromStdString(m_text.substr(done)).toHtmlEscaped();
}

void Label::updateText()
{
    label().setTextFormat(m_highlights.empty() ? Qt::PlainText : Qt::RichText);
    QString shown = m_highlights.empty() ? QString::fromStdString(m_text) : markedText();
    // One line shows line breaks as spaces rather than cutting the text.
    if (m_numberOfLines == 1)
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    else
        shown = withBreakableLongWords(shown);
    label().setText(shown);
    updateFont();
}

void Label::setNumberOfLines(int lines)
{
    m_numberOfLines = lines;
    label().setWordWrap(lines != 1);
    updateText();
}

double Label::heightForWidth(double width) const
{
    QFontMetrics metrics(label().font());
    return metrics.boundingRect(QRect(0, 0, int(width), 100000), Qt::TextWordWrap, label().text()).height();
}

void Label::setFont(Font font)
{
    m_font = font;
    updateFont();
}

void Label::setTextColor(Color color)
{
    m_textColor = color;
    QPalette palette = label().palette();
    palette.setColor(QPalette::WindowText, toQColor(color));
    label().setPalette(palette);
}

void Label::setTextAlignment(TextAlignment alignment)
{
    m_alignment = alignment;
    label().setAlignment(toQtAlignment(alignment));
}

void Label::setAdjustsFontSizeToFitWidth(bool adjusts)
{
    m_adjustsFontSize = adjusts;
    updateFont();
}

void Label::updateFont()
{
    Font shown = m_font;
    if (m_adjustsFontSize) {
        QString text = QString::fromStdString(m_text);
        while (shown.size > kMinimumFontSize && QFontMetrics(shown.toQFont()).horizontalAdvance(text) > frame().width)
            shown.size -= 1;
    }
    label().setFont(shown.toQFont());
}

} // namespace ui
