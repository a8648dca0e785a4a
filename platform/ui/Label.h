#pragma once

#include "platform/core/SearchText.h"
#include "platform/ui/Font.h"
#include "platform/ui/View.h"

#include <string>
#include <vector>

class QLabel;
class QString;

namespace ui {

enum class TextAlignment { Left = 0, Center = 1, Right = 2 };

// One line of text.
class Label : public View {
public:
    explicit Label(Rect frame = {});

    const std::string& text() const { return m_text; }
    void setText(std::string text);
    Font font() const { return m_font; }
    void setFont(Font font);
    Color textColor() const { return m_textColor; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(TextAlignment alignment);
    // Shrinks the font (down to a floor) until the text fits the width.
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    // More than one line: the text wraps at the width (0: as many as it takes).
    void setNumberOfLines(int lines);
    // The height the text takes at a width, wrapped.
    double heightForWidth(double width) const;
    // Stretches of the text shown marked (what a search found); none, or
    // setText, takes the marks off.
    void setHighlightedRanges(std::vector<core::TextRange> ranges);
    const std::vector<core::TextRange>& highlightedRanges() const { return m_highlights; }

private:
    QLabel& label() const;
    void updateFont();
    void updateText();

    // The marked text as the toolkit's markup, escaped.
    QString markedText() const;

    std::string m_text;
    std::vector<core::TextRange> m_highlights;
    Font m_font = Font::systemFontOfSize(17);
    Color m_textColor = Color::darkText();
    TextAlignment m_alignment = TextAlignment::Left;
    bool m_adjustsFontSize = false;
    int m_numberOfLines = 1;
};

} // namespace ui
