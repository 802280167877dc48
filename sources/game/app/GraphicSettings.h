// The user's two graphics settings, texture quality and shadows, read from
// and written to section "SETTINGS" of the settings store ("texture_quality"
// "low"/"high", "shadows" "off"/"on").
#pragma once

#include <string>

// 0 low, 1 high; 1 at start.
extern int TextureQualitySetting;
// 0 off, 1 on; 1 at start.
extern int ShadowsSetting;
// The texture folder last added to the 3D engine's resources; empty at start.
extern std::string g_CurrentTextureLocation;

// The settings' texts, indexed by the setting's value.
extern const char* const g_TextureQualityTexts[2];   // "low", "high"
extern const char* const g_ShadowTexts[2];           // "off", "on"

// "../../mediaDemo/Textures/": the quality's text follows directly.
extern const char TEXTURE_FOLDER[];

// 0 or 1 for the first of the two texts that equals text ignoring case;
// otherwise (null text included) the current index.
int FindStringNoCase(const char* text, int current, const char* const texts[2]);

// Reads "texture_quality" and "shadows" of "SETTINGS" (created when
// missing); a variable that is not a text or matches neither text leaves its
// setting unchanged. Then AddTextureResourceLocation and ApplyShadowSetting.
// Returns true.
bool ApplyGraphicSettings();
// Writes both settings' texts into "SETTINGS".
void StoreGraphicSettings();
// Swaps the texture folder of the default resource group for the one of the
// current quality and reloads the textures already loaded from it.
// Without the 3D engine's resource system nothing changes (logged).
void AddTextureResourceLocation();
// Stencil-modulative shadows (far distance 1000, colour 0.75, 0.75, 0.7) or
// none on the scene manager "KEM_SM"; nothing (logged) when it or the
// render system is missing.
void ApplyShadowSetting();
