// Everything a click can reach says what it is to assistive technologies.

#include "AppFixture.h"
#include "TestContext.h"

#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "ExportView.h"
#include "PreferencesViewController.h"
#include "TableViewController.h"

#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace {

class AccessibilityTest : public AppFixture {
protected:
    // The visible controls of the window that have no accessible name.
    std::vector<std::string> unnamedControls()
    {
        std::vector<std::string> unnamed;
        for (QWidget* widget : delegate->window()->widget()->findChildren<QWidget*>()) {
            bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSlider*>(widget)
                || qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget)
                || qobject_cast<QDateTimeEdit*>(widget) || widget->focusPolicy() == Qt::StrongFocus;
            // The editor inside a date field is part of the named field.
            bool inner = qobject_cast<QLineEdit*>(widget->parentWidget())
                || qobject_cast<QAbstractSpinBox*>(widget->parentWidget());
            if (!control || !widget->isVisible() || inner)
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
                unnamed.push_back(widget->metaObject()->className());
        }
        return unnamed;
    }
};

TEST_F(AccessibilityTest, EveryScreensControlsHaveNames)
{
    for (int i = 0; i < 3; ++i) {
        std::string name = "n" + std::to_string(i) + ".aif";
        writeAiff(documentsFile(name), 80000, 8000);
        testStore().saveObject(0, 10, "/" + name, 80000);
    }
    launch(2);
    delegate->window()->makeKeyAndVisible();
    EXPECT_EQ(unnamedControls(), std::vector<std::string>{}) << "list";
    list().tableView().selectRowAtIndexPath({0, 0});
    clock.advance(1);
    EXPECT_EQ(unnamedControls(), std::vector<std::string>{}) << "playing";

    list().tableView().tapAccessoryButtonForRowAtIndexPath({0, 1});
    clock.advance(1);
    auto& detail = dynamic_cast<DetailController&>(*browser().topViewController());
    detail.tableView().selectRowAtIndexPath({0, 1});
    clock.advance(1);
    EXPECT_EQ(unnamedControls(), std::vector<std::string>{}) << "details with the icon wheel";
    detail.doneAction();
    detail.tableView().selectRowAtIndexPath({0, 3});
    clock.advance(1);
    EXPECT_EQ(unnamedControls(), std::vector<std::string>{}) << "details with the date picker";
    detail.doneAction();
    detail.exportAction();
    clock.advance(1);
    EXPECT_EQ(unnamedControls(), std::vector<std::string>{}) << "export";

    browser().exportView()->cancelAction();
    browser().popViewControllerAnimated(false);
    root().toggleView();
    clock.advance(2);
    EXPECT_EQ(unnamedControls(), std::vector<std::string>{}) << "preferences";
}

} // namespace
