// "background_solid": the discs and arrow stars, unlit in their colour so
// they read as flat accents beside the shaded solids. Outputs: colour
// (alpha 1), the eye-space normal facing the camera as n * 0.5 + 0.5, and
// depth as eye distance over the far plane.
varying vec3 normal;
varying vec3 eyePosition;
uniform float farPlane;
void main()
{
    vec3 n = normalize(normal);
    if (dot(n, eyePosition) > 0.0)
        n = -n;
    gl_FragData[0] = vec4(gl_Color.rgb, 1.0);
    gl_FragData[1] = vec4(n * 0.5 + 0.5, 1.0);
    gl_FragData[2] = vec4(vec3(length(eyePosition) / farPlane), 1.0);
}
