#pragma once

// Makes the chrome's painted buttons announce themselves to assistive technology as buttons that
// can be pressed. Safe to call more than once.
namespace chrome {
void installButtonAccessibility();
}
