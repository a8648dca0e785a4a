#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace ui {

class GraphicsContext;

enum class AnimationTransition { None = 0, FlipFromLeft = 1, FlipFromRight = 2 };
// What a view is to assistive technologies, when its widget does not say.
enum class AccessibilityRole { None, ListItem, Picture, ProgressBar };

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
    void applyAlpha(double alpha);

    QWidget* m_widget = nullptr;
    Rect m_frame;
    View* m_superview = nullptr;
    std::vector<std::shared_ptr<View>> m_subviews;
    bool m_hidden = false;
    double m_alpha = 1.0;
    Color m_backgroundColor = Color::clear();
    AnimationTransition m_lastTransition = AnimationTransition::None;
};

} // namespace ui
