#include "platform/widgets/font_config_loader.h"

#include <fontconfig/fontconfig.h>

// Loading is safe to race: whichever thread finishes second finds the
// configuration in place and drops its own copy.
FontConfigLoader::FontConfigLoader() : thread_([] { FcInit(); }) {}

FontConfigLoader::~FontConfigLoader()
{
    thread_.join();
}
