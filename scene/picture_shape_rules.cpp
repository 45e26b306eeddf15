// The picture's shape from the size of what it is drawn in.
#include "scene/picture_shape_rules.h"

double pictureAspect(int width, int height)
{
    if (width <= 0 || height <= 0)
        return 1.0;
    return static_cast<double>(width) / static_cast<double>(height);
}
