// SPDX-License-Identifier: MIT
// GLEW as the drawer uses it, over Emscripten's. The browser's GL emulation has the shader and
// multitexture calls only under their OpenGL 2.0 names, which take the same arguments, so the ARB names
// the drawer calls are those. Its immediate mode gives texture coordinates to the first texture unit
// only, so it does not offer multitexturing to the drawer, which then draws polygons with their main
// picture alone, as on a desktop without the extension.
#pragma once

#include_next <GL/glew.h>

#undef GLEW_ARB_multitexture
#define GLEW_ARB_multitexture GL_FALSE

#define glUseProgramObjectARB glUseProgram
#define glCreateShaderObjectARB glCreateShader
#define glShaderSourceARB glShaderSource
#define glCompileShaderARB glCompileShader
#define glCreateProgramObjectARB glCreateProgram
#define glAttachObjectARB glAttachShader
#define glLinkProgramARB glLinkProgram
#define glGetUniformLocationARB glGetUniformLocation
#define glUniform1iARB glUniform1i
#define glActiveTextureARB glActiveTexture
// The drawer reads the logs of shader objects only.
#define glGetObjectParameterivARB glGetShaderiv
#define glGetInfoLogARB glGetShaderInfoLog
// Without multitexturing the drawer never gives a second unit coordinates.
#define glMultiTexCoord2fARB(unit, s, t) static_cast<void>((unit) + (s) + (t))
