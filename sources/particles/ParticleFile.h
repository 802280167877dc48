// The particle file (".pfx"): a CObjnet object holding the system's header,
// its texture bank and its modifiers with their parameter blocks and
// animation keys.
//
//   outer object "particulesys::particulesys(buffer,string,object,{object=NULL},...)"
//     buffer   header: f32 duration (seconds), u32 particle count (little-endian)
//     string   name (not used)
//     object   "particulesys::texture_bank({int,string}=NULL,...)": (int slot 0..255,
//              string texture file name) pairs until its data ends
//     int      (not used)
//     object*  "particulesys::modifier({buffer=NULL,buffer=NULL,buffer=NULL},...)", each:
//              int slot 0..19, string kind name, int parameter size, four ints (not
//              used), buffer parameter block image, two buffers (not used), int
//              has-keys flag, buffer animation keys
//
// The buffers are raw little-endian memory images; CObjnet's own ints and
// lengths are big-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ParticleSystemAnimation;

#define PFX_SIGNATURE "particulesys::particulesys(buffer,string,object,{object=NULL},...)"
#define PFX_TEXTURE_BANK_SIGNATURE "particulesys::texture_bank({int,string}=NULL,...)"
#define PFX_MODIFIER_SIGNATURE "particulesys::modifier({buffer=NULL,buffer=NULL,buffer=NULL},...)"

// Pools beyond this are refused: no particle file needs them, and the count
// comes straight from the file.
const uint32_t PFX_MAX_PARTICLES = 65536;

struct ParticleFileTexture {
    uint32_t slot;
    std::string name;   // the bank's name with its last three characters made "png"
};

// Builds the system a particle file image describes: modifiers set, keys
// attached, reset, then made inactive. 0 with `system` (the caller's) and the
// texture bank's entries; -1 with nothing made for an image that is not a
// particle file (wrong signature, no header, no name, no texture bank, or a
// pool out of bounds). Modifier records that cannot be used are skipped with
// a log line naming `source`.
int ReadParticleFile(const void* bytes, int size, const char* source, ParticleSystemAnimation*& system,
                     std::vector<ParticleFileTexture>& textures);

// The file name the texture bank's name stands for (its last three
// characters replaced by "png"); empty for a name shorter than that.
std::string ParticleTextureFileName(const std::string& bankName);
