// "plates_depth": shadow pass of the plates and the sphere slices, seen from
// the light.
void main()
{
    gl_Position = ftransform();
}
