#include "render/renderers/render_settings.h"

#include "core/environment/settings.h"

namespace cindral {

void ApplyRenderSettings(logp_object& document, const Settings& settings) {
    document.PrintBlackOption = settings.PrintInBlack;
    document.RepeatedHeaderGap = settings.RepeatedHeaderGap;
    document.KeepParagraphsInside = settings.TextLineOption;
}

}  // namespace cindral
