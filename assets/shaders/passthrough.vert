// Shared by every global shader: hands SFML's position, texture coordinates and
// vertex colour on unchanged, so the fragment shaders see exactly what a plain draw would.
#version 120

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
}
