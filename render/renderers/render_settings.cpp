#include "render/renderers/render_settings.h"

#include "core/environment/settings.h"

namespace cindral {

RenderOptions RenderOptionsOf(const Settings& settings) {
    RenderOptions options;
    options.print_black = settings.PrintInBlack;
    options.keep_paragraphs_inside = settings.TextLineOption;
    return options;
}

}  // namespace cindral
