#include "platform/win32/ce/image_entry.h"

using StaticConstructor = void (*)();

// Defined by the linker script around the constructors' table.
extern "C" StaticConstructor imageConstructorsStart[];
extern "C" StaticConstructor imageConstructorsEnd[];

void runStaticConstructors() {
    for (StaticConstructor* constructor = imageConstructorsStart;
         constructor != imageConstructorsEnd; ++constructor) {
        (*constructor)();
    }
}
