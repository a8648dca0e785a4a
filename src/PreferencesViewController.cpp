#include "PreferencesViewController.h"

#include "platform/ui/Color.h"

void PreferencesViewController::viewDidLoad() { view()->setBackgroundColor(ui::Color::groupTableViewBackground()); }
