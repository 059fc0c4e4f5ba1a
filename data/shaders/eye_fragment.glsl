// Fragment stages of the lit scene shaders: the eye-space position and normal
// from eye_vertex.glsl, and the three targets they write.
varying vec3 normal;
varying vec3 eyePosition;

// Writes colour (alpha 1), the eye-space normal `n` as n * 0.5 + 0.5, and
// depth as eye distance over `depthScale`, the scale the occlusion and
// depth-of-field passes read.
void writeTargets(vec3 colour, vec3 n, float depthScale)
{
    gl_FragData[0] = vec4(colour, 1.0);
    gl_FragData[1] = vec4(n * 0.5 + 0.5, 1.0);
    gl_FragData[2] = vec4(vec3(length(eyePosition) / depthScale), 1.0);
}
