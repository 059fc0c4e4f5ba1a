// "logo_depth": writes the window depth seen from the light, packed into the
// three colour bytes of the shadow map (alpha 1 marks a covered texel, so a
// cleared texel means no occluder). The lookup in "logo" and "logo_ground"
// unpacks it with dot(rgb, vec3(1, 1/255, 1/65025)).
void main()
{
    vec3 bytes = fract(gl_FragCoord.z * vec3(1.0, 255.0, 65025.0));
    bytes -= bytes.yzz * vec3(1.0 / 255.0, 1.0 / 255.0, 0.0);
    gl_FragColor = vec4(bytes, 1.0);
}
