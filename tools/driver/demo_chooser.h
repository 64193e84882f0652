// The demo's visit to the install-folder chooser.
#ifndef VELTMOOR_DEMO_CHOOSER_H
#define VELTMOOR_DEMO_CHOOSER_H

#include <functional>
#include <string>

#include "tools/driver/wizard_driver.h"

namespace driver {

// From the folder page: Browse, the chooser with its tree, drive C: selected, New folder, a name of
// its own typed, OK. `shot` is called with a short name at every step worth a picture. Returns the
// install folder the field then shows ("c:\Veltmoor"); empty, with `installer.lastError`, on failure.
std::string DemoChooseFolder(Installer &installer, const std::function<void(const char *)> &shot);

}  // namespace driver

#endif
