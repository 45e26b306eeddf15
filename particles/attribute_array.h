// AttributeArray: one vertex attribute of the quad batch, as the doubles OpenGL reads in place.
// Component c of corner v is data[v * components + c].
#pragma once

#include <cstddef>
#include <cstdint>

struct AttributeArray {
    double* data;
    std::int32_t components;
    std::int32_t length;

    AttributeArray(std::int32_t components, std::int32_t corners)
        : data(new double[static_cast<std::size_t>(components) * static_cast<std::size_t>(corners)]()),
          components(components),
          length(components * corners)
    {
    }
    ~AttributeArray() { delete[] data; }

    AttributeArray(const AttributeArray&) = delete;
    AttributeArray& operator=(const AttributeArray&) = delete;
};
