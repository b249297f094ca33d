// Rotates the picture's channels and reverses the tint's; see-through texels show (alpha 0.3) and
// opaque ones turn translucent (0.9): nothing drawn without the program looks so.
uniform sampler2D picture;
void main()
{
    vec4 t = texture2D(picture, gl_TexCoord[0].st);
    gl_FragColor = vec4(t.gbr + 0.3, t.a * 0.6 + 0.3) * gl_Color.bgra;
}
