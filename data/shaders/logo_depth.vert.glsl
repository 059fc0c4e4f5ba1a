// "logo_depth": shadow pass of the logo pieces, seen from the light.
void main()
{
    gl_Position = ftransform();
}
