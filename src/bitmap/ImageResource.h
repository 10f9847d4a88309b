#pragma once
#include "bitmap/DibCairo.h"

#include <cstdint>
#include <string>

// A PNG (or any image GdkPixbuf reads) compiled into the program, as a cairo
// ARGB32 surface with premultiplied alpha, ready to be painted over other
// drawing. `relativePath` is below the program's resource prefix, e.g.
// "images/166.png". Empty when the resource is missing or cannot be decoded.
CairoSurfacePtr LoadImageResource(const std::string& relativePath);
// The image resource with this id: "images/<id>.png".
CairoSurfacePtr LoadImageResource(uint32_t id);
