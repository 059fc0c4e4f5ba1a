// "background": the sky box and the sky flares. Passes the texture
// coordinate and the colour.
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
    gl_Position = ftransform();
}
