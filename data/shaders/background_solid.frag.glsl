// "background_solid": the discs and arrow stars, unlit in their colour so
// they read as flat accents beside the shaded solids. Outputs: colour
// (alpha 1), the eye-space normal facing the camera as n * 0.5 + 0.5, and
// depth as eye distance over the far plane.
#include "eye_fragment.glsl"
uniform float farPlane;
void main()
{
    vec3 n = normalize(normal);
    if (dot(n, eyePosition) > 0.0)
        n = -n;
    writeTargets(gl_Color.rgb, n, farPlane);
}
