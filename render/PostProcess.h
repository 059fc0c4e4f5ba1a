// Full-screen post-processing passes over the render targets (occlusion,
// separable blurs, combine, depth of field) and the small screen-quad
// helpers effects use for backgrounds, fades, billboards and blits.
//
// Passes needing archive shaders use "ssao" (samplers TNormal, TRandom,
// TDepth; uniforms strength, offset, falloff, radius), "combine" (TColor,
// TAo) and "dof" (TColor, TBlur, TDepth; near, focus, far).
//
// Every pass and helper draws in its own Space2D, so the projection and
// modelview matrices are the caller's again afterwards. Every pass ends with
// depth writes on and no shader in use; depth testing and GL_TEXTURE_2D on
// unit 0 are left as each pass says, not restored.
#pragma once

#include "engine/stagemill.h"
#include "render/GLExtensions.h"

// Occlusion of the scene targets into texHalfSSAO at half size. Ends with
// the window framebuffer bound, depth test and blending off.
void applySSAO(float radius, float falloff, float strength, float offset);
// Draws texScreenColor x aoTexture into whatever is bound. Depth test off.
void applyCombine(GLuint aoTexture);
// Separable five-tap blurs, `passes` horizontal+vertical rounds ping-ponging
// between two same-size targets; offsets are in texture coordinates. The
// result lands in texQuarterA, texHalfA or texScreenBlurA. plain selects the
// brighter "blurx"/"blury" pair (taps sum to 1.2). blurQuarter always starts
// from a half-size downsample of source, left in texHalfA. Each ends with the
// window framebuffer bound, depth test and blending off, GL_TEXTURE_2D on.
void blurQuarter(GLuint source, int passes, float xoff, float yoff, bool plain);
void blurHalf(GLuint source, int passes, float xoff, float yoff, bool plain);
void blurScreen(GLuint source, int passes, float xoff, float yoff, bool plain);
// Mixes color and blurred by the distance of depth from focus (between near
// and far) into whatever is bound. Leaves unit 0 active with GL_TEXTURE_2D
// enabled.
void applyDepthOfField(GLuint color, GLuint depth, GLuint blurred, float nearValue, float focus, float farValue);
// One untextured full-screen quad in (r, g, b), blended over the picture at
// alpha a. Leaves the resting draw state.
void drawColorOverlay(float r, float g, float b, float a);
// The quad (0,0) (1,0) (1,1) (0,1) in the current colour, projection and
// modelview, without texture coordinates; changes no GL state. In the unit
// space of stmPerspective2D(1, 1) it covers the screen.
void drawUnitQuad();
// Full-screen quad with the bound texture: without flips the texture's top
// row (t = 1) is drawn at the bottom of the screen (y = 0). Depth test off.
void drawScreenQuad(bool flipX, bool flipY);
// As drawScreenQuad but the other way up (t = 0 at y = 0), cropped by cropX,
// cropY on each side and shifted by offsetX, offsetY in texture coordinates.
// Leaves depth test off and GL_TEXTURE_2D on.
void drawScreenQuadCropped(bool flipX, bool flipY, float cropX, float cropY, float offsetX, float offsetY);
// Camera-facing quad of half-size `size` around center, in the current
// modelview space, with the caller's texture and colour.
void drawBillboard(const ZEPHRAN_STAGEMILL::Vector& center, float size);
