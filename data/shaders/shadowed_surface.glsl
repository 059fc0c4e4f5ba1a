// The surface terms the shadowed, mirroring materials ("logo", "slicesphere")
// start from, set by shadedSurface(): the eye-space normal n, the direction
// towards the eye v, the light direction l from the vertex stage, the shadow
// map's visibility lit, how squarely the surface faces the eye, the view
// direction mirrored about the normal r, and the environment cube ("cube")
// seen along it.
#include "eye_fragment.glsl"
uniform samplerCube cube;
uniform float farPlane;
varying vec3 lightDirection;
varying vec4 shadowCoord;
#include "shadow_lookup.glsl"

vec3 n, v, l, r, environment;
float lit, facing;

void shadedSurface()
{
    n = normalize(normal);
    v = normalize(-eyePosition);
    l = normalize(lightDirection);
    lit = lightVisibility(shadowCoord);
    facing = max(dot(n, v), 0.0);
    r = reflect(-v, n);
    environment = textureCube(cube, r).rgb;
}
