#pragma once
// The six long-lived instances, created once in their fixed order and destroyed in reverse.
namespace startup {

// Creates the menu window, the data module, the login window, the workbench, the order service
// client and the JSON viewer, in this order.
void createInstances();
void destroyInstances();

} // namespace startup
