#include "platform/ui/View.h"

#include "platform/ui/AccessibleViews.h"
#include "platform/ui/Animation.h"
#include "platform/ui/QtConversions.h"
#include "platform/ui/ViewWidget.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QPalette>

#include <algorithm>

namespace ui {

View::View(Rect frame)
    : View(nullptr, frame)
{
}

View::View(QWidget* widget, Rect frame)
    : m_widget(widget ? widget : new ViewWidget(*this))
    , m_frame(frame)
{
    applyFrame(frame);
}

View::~View()
{
    // Qt would delete child widgets with ours; they belong to their views.
    for (auto& subview : m_subviews) {
        subview->m_widget->setParent(nullptr);
        subview->m_superview = nullptr;
    }
    delete m_widget;
}

void View::setFrame(Rect frame)
{
    Rect shown = fromQRect(m_widget->geometry());
    m_frame = frame;
    if (Animation::isRecording())
        Animation::recordFrame(*this, shown, frame);
    else
        applyFrame(frame);
    frameDidChange();
}

void View::applyFrame(Rect frame)
{
    m_widget->setGeometry(toQRect(frame));
    updateVisibility();
    for (auto& subview : m_subviews)
        subview->updateVisibility();
    coverMayHaveMoved();
}

// Out of any superview the widget is a parentless one, which the toolkit
// would show as a window of its own. A view wholly outside its superview
// (a picker slid away, a row turned off the wheel) is out of sight: not
// shown, so neither assistive technologies nor the Tab key reach it. So
// is one wholly under a sibling that covers what is behind it.
void View::updateVisibility()
{
    if (!m_superview && !isWindowOfItsOwn())
        return;
    QRect area = m_superview ? m_superview->m_widget->rect() : m_widget->geometry();
    m_widget->setVisible(!m_hidden && area.intersects(m_widget->geometry()) && !isCoveredFromAbove());
    if (m_keyboardWhenShown && m_widget->isVisible()) {
        m_keyboardWhenShown = false;
        // A field inside asked for the keyboard while this slid in: it keeps it.
        QWidget* asked = m_widget->focusWidget();
        bool inside = asked && (asked == m_widget || m_widget->isAncestorOf(asked));
        (inside ? asked : m_widget)->setFocus(Qt::OtherFocusReason);
    }
}

bool View::isCoveredFromAbove() const
{
    if (!m_superview)
        return false;
    const auto& siblings = m_superview->m_subviews;
    auto self = std::find_if(siblings.begin(), siblings.end(), [this](const auto& v) { return v.get() == this; });
    if (self == siblings.end())
        return false;
    QRect area = m_widget->geometry();
    return std::any_of(std::next(self), siblings.end(), [&](const auto& above) {
        return above->coversWhatIsBehind() && !above->m_widget->isHidden()
            && above->m_widget->geometry().contains(area);
    });
}

// The siblings behind a cover come into or go out of sight as it moves.
void View::coverMayHaveMoved()
{
    if (!m_superview || !coversWhatIsBehind())
        return;
    for (auto& sibling : m_superview->m_subviews) {
        if (sibling.get() != this)
            sibling->updateVisibility();
    }
}

// The copy of the pointer keeps the view alive while it leaves its old
// superview, which may hold the last other reference.
void View::addSubview(std::shared_ptr<View> view) // NOLINT(performance-unnecessary-value-param)
{
    if (!view || view.get() == this)
        return;
    view->removeFromSuperview();
    view->m_superview = this;
    m_subviews.push_back(view);
    view->m_widget->setParent(m_widget);
    view->m_widget->raise();
    view->applyFrame(view->m_frame);
}

void View::insertSubview(const std::shared_ptr<View>& view, std::size_t index)
{
    addSubview(view);
    if (!view || view->m_superview != this || index >= m_subviews.size() - 1)
        return;
    m_subviews.pop_back();
    auto above = m_subviews[index];
    m_subviews.insert(m_subviews.begin() + std::ptrdiff_t(index), view);
    view->m_widget->stackUnder(above->m_widget);
    view->updateVisibility();
    view->coverMayHaveMoved();
}

void View::removeFromSuperview()
{
    if (!m_superview)
        return;
    auto keep = shared_from_this();
    auto& siblings = m_superview->m_subviews;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), keep), siblings.end());
    coverMayHaveMoved();
    // The keyboard stays with what remains, not with whichever control the
    // toolkit would move it to next (a text field would start editing).
    if (hasKeyboardFocus())
        m_superview->takeKeyboardFocus();
    m_superview = nullptr;
    m_keyboardWhenShown = false;
    m_widget->hide();
    m_widget->setParent(nullptr);
}

bool View::hasKeyboardFocus() const
{
    QWidget* focused = QApplication::focusWidget();
    return focused && (focused == m_widget || m_widget->isAncestorOf(focused));
}

void View::takeKeyboardFocus()
{
    // A view still sliding into sight takes the keyboard once it is seen.
    m_keyboardWhenShown = m_widget->isHidden();
    m_widget->setFocus(Qt::OtherFocusReason);
}

bool View::keyboardFocusIsNowhere() { return QApplication::focusWidget() == nullptr; }

bool View::isDescendantOf(const View& view) const
{
    for (const View* v = this; v; v = v->m_superview) {
        if (v == &view)
            return true;
    }
    return false;
}

void View::setHidden(bool hidden)
{
    m_hidden = hidden;
    updateVisibility();
    coverMayHaveMoved();
}

void View::setAlpha(double alpha)
{
    double shown = m_alpha;
    m_alpha = std::clamp(alpha, 0.0, 1.0);
    if (Animation::isRecording())
        Animation::recordAlpha(*this, shown, m_alpha);
    else
        applyAlpha(m_alpha);
}

void View::applyAlpha(double alpha)
{
    if (alpha >= 1.0) {
        m_widget->setGraphicsEffect(nullptr);
        return;
    }
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(m_widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(m_widget);
        m_widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(alpha);
}

void View::setBackgroundColor(Color color)
{
    m_backgroundColor = color;
    QPalette palette = m_widget->palette();
    palette.setColor(QPalette::Window, toQColor(color));
    m_widget->setPalette(palette);
    m_widget->setAutoFillBackground(color.alpha > 0);
    m_widget->update();
}

std::string View::accessibilityLabel() const { return m_widget->accessibleName().toStdString(); }

void View::setAccessibilityLabel(const std::string& label)
{
    m_widget->setAccessibleName(QString::fromStdString(label));
}

void View::setAccessibilityRole(AccessibilityRole role) { AccessibleViews::setRole(*this, role); }

void View::setAccessibilityTraits(AccessibilityTraits traits)
{
    AccessibilityTraits before = m_accessibilityTraits;
    m_accessibilityTraits = traits;
    AccessibleViews::traitsChanged(*this, before);
}

void View::setAccessibilityActivation(std::function<void()> activation)
{
    m_accessibilityActivation = std::move(activation);
}

void View::setAccessibilityAdjustment(std::function<void(int)> adjustment)
{
    m_accessibilityAdjustment = std::move(adjustment);
}

void View::setAccessibilityValue(double value, double maximum)
{
    if (value == m_accessibilityValue && maximum == m_accessibilityMaximum)
        return;
    m_accessibilityValue = value;
    m_accessibilityMaximum = maximum;
    AccessibleViews::valueChanged(*this);
}

void View::setAccessibilityHidden(bool hidden)
{
    m_accessibilityHidden = hidden;
    AccessibleViews::setHidden(*m_widget, hidden);
}

void View::setNeedsDisplay() { m_widget->update(); }

void View::layoutIfNeeded()
{
    applyFrame(m_frame);
    for (auto& subview : m_subviews)
        subview->layoutIfNeeded();
}

void View::drawRect(GraphicsContext&, Rect) { }

void View::beginAnimations() { Animation::begin(); }

void View::setAnimationDuration(double seconds) { Animation::setDuration(seconds); }

void View::setAnimationTransition(AnimationTransition transition, View& view, bool cache)
{
    Animation::setTransition(transition, view, cache);
}

void View::commitAnimations() { Animation::commit(); }

void View::animate(double seconds, const std::function<void()>& changes)
{
    beginAnimations();
    setAnimationDuration(seconds);
    changes();
    commitAnimations();
}

} // namespace ui
