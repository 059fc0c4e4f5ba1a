// The surface terms the thin, two-sided glossy materials ("grow_flower",
// "growprimitives") start from, set by twoSidedSurface(): the eye-space
// normal n, turned towards the eye when it faces away so both sides are lit
// alike, the direction towards the eye v, how squarely the surface faces it,
// the view direction mirrored about the normal r, and the environment cube
// ("cube") seen along it.
#include "eye_fragment.glsl"
uniform samplerCube cube;
uniform float farPlane;

vec3 n, v, r, environment;
float facing;

void twoSidedSurface()
{
    n = normalize(normal);
    v = normalize(-eyePosition);
    if (dot(n, v) < 0.0)
        n = -n;
    facing = max(dot(n, v), 0.0);
    r = reflect(-v, n);
    environment = textureCube(cube, r).rgb;
}
