#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace ui {

class GraphicsContext;

enum class AnimationTransition { None = 0, FlipFromLeft = 1, FlipFromRight = 2 };
// What a view is to assistive technologies, when its widget does not say.
enum class AccessibilityRole { None, Window, List, ListItem, Picture, ProgressBar, Adjustable };

// The states a view reports to assistive technologies beyond what its
// widget knows: a row that can be chosen, a choice that is ticked.
struct AccessibilityTraits {
    bool selectable = false;
    bool selected = false;
    bool checkable = false;
    bool checked = false;
    // The one a list's keyboard is on: focused while the list has the keyboard.
    bool current = false;
    bool operator==(const AccessibilityTraits&) const = default;
};

// A rectangle on screen with subviews. A superview keeps its subviews
// alive; a removed view lives on as long as someone else holds it.
class View : public std::enable_shared_from_this<View> {
public:
    explicit View(Rect frame = {});
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Rect frame() const { return m_frame; }
    void setFrame(Rect frame);
    Rect bounds() const { return {0, 0, m_frame.width, m_frame.height}; }

    void addSubview(std::shared_ptr<View> view);
    // Under the subviews from that index on.
    void insertSubview(const std::shared_ptr<View>& view, std::size_t index);
    void removeFromSuperview();
    View* superview() const { return m_superview; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    bool isDescendantOf(const View& view) const;

    bool isHidden() const { return m_hidden; }
    // Whether the keyboard is with this view or one inside it.
    bool hasKeyboardFocus() const;
    void takeKeyboardFocus();
    static bool keyboardFocusIsNowhere();
    // The keyboard is with this view, or with nothing: a screen that comes
    // in place of this one may take it.
    bool hasKeyboardFocusOrNone() const { return hasKeyboardFocus() || keyboardFocusIsNowhere(); }
    // A view out of any superview stays out of sight until it is added.
    void setHidden(bool hidden);
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha);
    Color backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(Color color);

    // What assistive technologies (screen readers) say for this view.
    std::string accessibilityLabel() const;
    void setAccessibilityLabel(const std::string& label);
    void setAccessibilityRole(AccessibilityRole role);
    AccessibilityTraits accessibilityTraits() const { return m_accessibilityTraits; }
    void setAccessibilityTraits(AccessibilityTraits traits);
    // What an assistive technology's "Press" does to a view that is no
    // button of its own (a row); none for a view that cannot be pressed.
    const std::function<void()>& accessibilityActivation() const { return m_accessibilityActivation; }
    void setAccessibilityActivation(std::function<void()> activation);
    // What an assistive technology's "Increase" (+1) and "Decrease" (-1)
    // do to an adjustable view.
    const std::function<void(int)>& accessibilityAdjustment() const { return m_accessibilityAdjustment; }
    void setAccessibilityAdjustment(std::function<void(int)> adjustment);
    // A measure of progress, read as a value between 0 and the maximum.
    double accessibilityValue() const { return m_accessibilityValue; }
    double accessibilityMaximum() const { return m_accessibilityMaximum; }
    void setAccessibilityValue(double value, double maximum);
    // The value in words ("−13 dB"), read in place of the number when set.
    const std::string& accessibilityValueText() const { return m_accessibilityValueText; }
    void setAccessibilityValueText(std::string text) { m_accessibilityValueText = std::move(text); }
    // Left out of what assistive technologies read (a decoration whose
    // meaning its parent already states).
    bool isAccessibilityHidden() const { return m_accessibilityHidden; }
    void setAccessibilityHidden(bool hidden);

    void setNeedsDisplay();
    // Applies pending geometry to the widgets now.
    void layoutIfNeeded();
    virtual void drawRect(GraphicsContext& context, Rect rect);

    // The flip transition last committed on this view, if any.
    AnimationTransition lastTransition() const { return m_lastTransition; }

    // Animation blocks: frame and alpha changes between begin and commit
    // are animated; a transition set on a container flips between what it
    // showed before the changes and what it shows after them.
    static void beginAnimations();
    static void setAnimationDuration(double seconds);
    static void setAnimationTransition(AnimationTransition transition, View& view, bool cache);
    static void commitAnimations();
    // A block of the given duration around the changes.
    static void animate(double seconds, const std::function<void()>& changes);

    // Drawn opaque over what lies behind it (a wheel slid over rows): the
    // siblings it wholly covers are out of sight.
    virtual bool coversWhatIsBehind() const { return false; }

    // The widget that shows this view; for the platform layer.
    QWidget* widget() const { return m_widget; }

protected:
    // For views shown by a widget of their own kind (labels, buttons...).
    View(QWidget* widget, Rect frame);
    // After setFrame(): a view that places its subviews itself does it here.
    virtual void frameDidChange() { }
    // Shown as a window of its own (the application's window).
    virtual bool isWindowOfItsOwn() const { return false; }

private:
    friend class Animation;

    void applyFrame(Rect frame);
    void updateVisibility();
    bool isCoveredFromAbove() const;
    void coverMayHaveMoved();
    void applyAlpha(double alpha);

    QWidget* m_widget = nullptr;
    Rect m_frame;
    View* m_superview = nullptr;
    std::vector<std::shared_ptr<View>> m_subviews;
    bool m_hidden = false;
    double m_alpha = 1.0;
    Color m_backgroundColor = Color::clear();
    AnimationTransition m_lastTransition = AnimationTransition::None;
    AccessibilityTraits m_accessibilityTraits;
    std::function<void()> m_accessibilityActivation;
    std::function<void(int)> m_accessibilityAdjustment;
    double m_accessibilityValue = 0;
    double m_accessibilityMaximum = 0;
    std::string m_accessibilityValueText;
    bool m_accessibilityHidden = false;
    bool m_keyboardWhenShown = false;
};

} // namespace ui
