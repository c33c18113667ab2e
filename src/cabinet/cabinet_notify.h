// The plain function handed to the platform's cabinet walk, and the module-wide
// reference from it back to the CabFile whose operation started the walk.
#pragma once

#include <cstdint>

namespace vorela {

class CabFile;

// Makes cabinet the object that CabinetNotify forwards to. Every CabFile
// operation calls it with itself before it starts the walk; a destroyed object
// clears it (so the callback never reaches a dead object).
void SetCurrentCabinet(CabFile* cabinet);
CabFile* CurrentCabinet();

// With no current object: 0 for every notification. Otherwise the current
// object's CabCallBack with the same four values. Never throws: an error of the
// handler is kept by the object and raised after the walk.
std::uint32_t CabinetNotify(std::uintptr_t context, std::uint32_t notification,
                            std::uintptr_t param1,
                            std::uintptr_t param2) noexcept;

}  // namespace vorela
