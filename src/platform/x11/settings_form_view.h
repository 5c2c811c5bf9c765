// How frmSteinerConf looks: a classic grey dialog, black label text, bevelled push buttons, the
// focused one framed in black with a dotted focus rectangle. Draws on any 32-bit surface of the
// form's client size; needs no display.
#pragma once

#include <SDL.h>

#include "platform/linux_shared/text_renderer.h"
#include "render/canvas.h"
#include "settings_form_controller.h"

namespace drevanti::x11 {

inline constexpr Rgb kDialogFace{212, 208, 200};
inline constexpr Rgb kDialogHighlight{255, 255, 255};
inline constexpr Rgb kDialogShadow{128, 128, 128};
inline constexpr Rgb kDialogDarkShadow{64, 64, 64};
inline constexpr Rgb kDialogText{0, 0, 0};

void drawSettingsForm(SDL_Surface* target, const SettingsFormController& state,
                      linux_shared::TextRenderer& text);

}  // namespace drevanti::x11
