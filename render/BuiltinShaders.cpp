// The seventeen shaders built into the program, in registration order.
//
// GLSL 1.10 without a version directive. The uniform declarations are
// written one per statement, each statement starting with the word
// "uniform" right after the previous ';' (or a line break), because the
// registry's word scanner only sees declarations in that form; "edge"
// declares savy after three spaces on purpose, so the scanner skips it while
// the program still has the uniform.
#include "render/BuiltinShaders.h"

namespace {

// Vertex stages shared by several shaders.
const char* const kVertexT = "void main(){gl_TexCoord[0]=gl_MultiTexCoord0;gl_Position=ftransform();}";

const char* const kVertexX5 =
    "uniform float xoff;\n"
    "void main(){vec2 c=gl_MultiTexCoord0.st;"
    "gl_TexCoord[0]=vec4(c.s-2.0*xoff,c.t,0.0,1.0);"
    "gl_TexCoord[1]=vec4(c.s-xoff,c.t,0.0,1.0);"
    "gl_TexCoord[2]=vec4(c.s,c.t,0.0,1.0);"
    "gl_TexCoord[3]=vec4(c.s+xoff,c.t,0.0,1.0);"
    "gl_TexCoord[4]=vec4(c.s+2.0*xoff,c.t,0.0,1.0);"
    "gl_FrontColor=gl_Color;gl_Position=ftransform();}";

const char* const kVertexY5 =
    "uniform float yoff;\n"
    "void main(){vec2 c=gl_MultiTexCoord0.st;"
    "gl_TexCoord[0]=vec4(c.s,c.t-2.0*yoff,0.0,1.0);"
    "gl_TexCoord[1]=vec4(c.s,c.t-yoff,0.0,1.0);"
    "gl_TexCoord[2]=vec4(c.s,c.t,0.0,1.0);"
    "gl_TexCoord[3]=vec4(c.s,c.t+yoff,0.0,1.0);"
    "gl_TexCoord[4]=vec4(c.s,c.t+2.0*yoff,0.0,1.0);"
    "gl_FrontColor=gl_Color;gl_Position=ftransform();}";

const char* const kVertexUV =
    "varying vec2 uv;\n"
    "void main(){uv=gl_MultiTexCoord0.st;gl_Position=ftransform();}";

const char* const kVertexP =
    "varying vec4 shadowCoord;\n"
    "void main(){shadowCoord=gl_TextureMatrix[0]*gl_ModelViewMatrix*gl_Vertex;gl_Position=ftransform();}";

const char* const kVertexPColor =
    "varying vec4 shadowCoord;\n"
    "void main(){shadowCoord=gl_TextureMatrix[0]*gl_ModelViewMatrix*gl_Vertex;"
    "gl_FrontColor=gl_Color;gl_Position=ftransform();}";

const char* const kMixaaVertex =
    "void main(){gl_TexCoord[0]=gl_MultiTexCoord0;gl_TexCoord[1]=gl_MultiTexCoord1;gl_Position=ftransform();}";
const char* const kMixaaFragment =
    "uniform sampler2D tex1;\n"
    "uniform sampler2D tex2;\n"
    "void main(){gl_FragColor=(texture2D(tex1,gl_TexCoord[0].st)+texture2D(tex2,gl_TexCoord[1].st))*0.5;}";

const char* const kLightrayFragment =
    "uniform sampler2D caustic;\n"
    "uniform sampler2DShadow shadowMap;\n"
    "varying vec4 shadowCoord;\n"
    "void main(){gl_FragColor=texture2DProj(caustic,shadowCoord*24.0)*vec4(0.102065,0.102065,0.1020790565,1.0);}";

const char* const kColorFragment =
    "uniform sampler2D tex;\n"
    "uniform float saturate;\n"
    "uniform float brightness;\n"
    "uniform float contrast;\n"
    "void main(){vec3 col=texture2D(tex,gl_TexCoord[0].st).rgb;float x=length(col);"
    "col=pow(col+vec3(0.01),vec3(saturate));"
    "gl_FragColor.rgb=clamp(0.866+contrast*(x-0.866),0.05,1.73)*normalize(col)*brightness;}";

const char* const kSindistortVertex =
    "uniform float alpha;\n"
    "void main(){gl_TexCoord[0]=gl_MultiTexCoord0;gl_FrontColor=gl_Color*alpha;gl_Position=ftransform();}";
const char* const kSindistortFragment =
    "uniform sampler2D tex;\n"
    "uniform float xfreq;\n"
    "uniform float yfreq;\n"
    "uniform float xphase;\n"
    "uniform float yphase;\n"
    "uniform float xamp;\n"
    "uniform float yamp;\n"
    "void main(){vec2 c=gl_TexCoord[0].st;"
    "vec2 p=vec2(yphase+c.s+sin(c.t*3.14159*xfreq)*xamp,xphase+c.t+sin(c.s*3.14159*yfreq)*yamp);"
    "gl_FragColor=texture2D(tex,p)*gl_Color;}";

const char* const kChromeFragment =
    "uniform sampler2D tex;\n"
    "uniform float times;\n"
    "void main(){vec4 c=texture2D(tex,gl_TexCoord[0].st);gl_FragColor=vec4(abs(sin(3.14159*c.rgb)),c.a);}";

const char* const kMetaFragment =
    "uniform sampler2D tex;\n"
    "uniform float times;\n"
    "void main(){gl_FragColor=texture2D(tex,gl_TexCoord[0].st);}";

// Five taps 0.1, 0.25, 0.5, 0.25, 0.1: sums to 1.2, so it brightens.
const char* const kBlurFragment =
    "uniform sampler2D tex;\n"
    "uniform float alpha;\n"
    "void main(){vec4 s=texture2D(tex,gl_TexCoord[0].st)*0.1+texture2D(tex,gl_TexCoord[1].st)*0.25"
    "+texture2D(tex,gl_TexCoord[2].st)*0.5+texture2D(tex,gl_TexCoord[3].st)*0.25"
    "+texture2D(tex,gl_TexCoord[4].st)*0.1;gl_FragColor=s*alpha*gl_Color;}";

// Five taps 0.1, 0.2, 0.4, 0.2, 0.1 on rgb; alpha of the centre tap.
const char* const kBlur2Fragment =
    "uniform sampler2D tex;\n"
    "uniform float alpha;\n"
    "void main(){vec4 c=texture2D(tex,gl_TexCoord[2].st);"
    "vec3 s=texture2D(tex,gl_TexCoord[0].st).rgb*0.1+texture2D(tex,gl_TexCoord[1].st).rgb*0.2+c.rgb*0.4"
    "+texture2D(tex,gl_TexCoord[3].st).rgb*0.2+texture2D(tex,gl_TexCoord[4].st).rgb*0.1;"
    "gl_FragColor=vec4(s,c.a)*alpha*gl_Color;}";

// A tap counts (twice) only where depthCompare's alpha is above the centre's,
// so sharp foreground does not bleed into what lies behind it.
#define ZR_NO_BLEED_BODY \
    "void main(){float k=texture2D(depthCompare,gl_TexCoord[2].st).a;vec3 s=vec3(0.0);" \
    "s+=0.1*(sign(texture2D(depthCompare,gl_TexCoord[0].st).a-k)+1.0)*texture2D(tex,gl_TexCoord[0].st).rgb;" \
    "s+=0.2*(sign(texture2D(depthCompare,gl_TexCoord[1].st).a-k)+1.0)*texture2D(tex,gl_TexCoord[1].st).rgb;" \
    "s+=0.4*(sign(texture2D(depthCompare,gl_TexCoord[2].st).a-k)+1.0)*texture2D(tex,gl_TexCoord[2].st).rgb;" \
    "s+=0.2*(sign(texture2D(depthCompare,gl_TexCoord[3].st).a-k)+1.0)*texture2D(tex,gl_TexCoord[3].st).rgb;" \
    "s+=0.1*(sign(texture2D(depthCompare,gl_TexCoord[4].st).a-k)+1.0)*texture2D(tex,gl_TexCoord[4].st).rgb;" \
    "gl_FragColor=vec4(s,texture2D(tex,gl_TexCoord[2].st).a);}"

const char* const kBlur2xNoBleedFragment =
    "uniform sampler2D tex;\n"
    "uniform sampler2D depthCompare;\n"
    "uniform float alpha;\n" ZR_NO_BLEED_BODY;

const char* const kBlur2yNoBleedFragment =
    "uniform sampler2D tex;\n"
    "uniform sampler2D depthCompare;\n" ZR_NO_BLEED_BODY;

#undef ZR_NO_BLEED_BODY

const char* const kDarkenFragment =
    "uniform sampler2D tex;\n"
    "uniform float alpha;\n"
    "varying vec2 uv;\n"
    "void main(){vec4 col=texture2D(tex,uv);gl_FragColor=col*col*alpha;}";

const char* const kGlowcFragment =
    "uniform sampler2D texunit0;\n"
    "uniform sampler2D texunit1;\n"
    "uniform float glow_amount;\n"
    "varying vec2 uv;\n"
    "void main(){gl_FragColor=texture2D(texunit0,uv)+texture2D(texunit1,uv)*glow_amount;}";

// Sobel at a fixed 1/1024 offset; sIJ is the tap at (I - 1, J - 1) texels.
const char* const kEdgeFragment =
    "uniform sampler2D tex;   uniform float savy;\n"
    "vec3 tap(float i,float j){return texture2D(tex,gl_TexCoord[0].st+vec2(i,j)*(1.0/1024.0)).rgb;}\n"
    "void main(){vec3 s00=tap(-1.0,-1.0);vec3 s01=tap(-1.0,0.0);vec3 s02=tap(-1.0,1.0);"
    "vec3 s10=tap(0.0,-1.0);vec3 s12=tap(0.0,1.0);"
    "vec3 s20=tap(1.0,-1.0);vec3 s21=tap(1.0,0.0);vec3 s22=tap(1.0,1.0);"
    "vec3 sx=s00+2.0*s10+s20-s02-2.0*s12-s22;vec3 sy=s00+2.0*s01+s02-s20-2.0*s21-s22;"
    "vec3 e=sx*sx+sy*sy;float val=e.r+e.g+e.b;"
    "gl_FragColor=vec4(val,val,val,val<=0.0?0.0:1.0)*savy;}";

const char* const kShadowmapFragment =
    "uniform sampler2DShadow shadowMap;\n"
    "varying vec4 shadowCoord;\n"
    "void main(){gl_FragColor=shadow2DProj(shadowMap,shadowCoord).r*gl_Color;}";

const char* const kProjectTextureFragment =
    "uniform sampler2D tex;\n"
    "varying vec4 shadowCoord;\n"
    "void main(){gl_FragColor=texture2DProj(tex,shadowCoord);}";

} // namespace

const BuiltinShader kBuiltinShaders[kBuiltinShaderCount] = {
    {"mixaa", kMixaaFragment, kMixaaVertex},
    {"lightray", kLightrayFragment, kVertexP},
    {"color", kColorFragment, kVertexT},
    {"sindistort", kSindistortFragment, kSindistortVertex},
    {"chrome", kChromeFragment, kVertexT},
    {"meta", kMetaFragment, kVertexT},
    {"blurx", kBlurFragment, kVertexX5},
    {"blury", kBlurFragment, kVertexY5},
    {"blur2x", kBlur2Fragment, kVertexX5},
    {"blur2y", kBlur2Fragment, kVertexY5},
    {"blur2xNoBleed", kBlur2xNoBleedFragment, kVertexX5},
    {"blur2yNoBleed", kBlur2yNoBleedFragment, kVertexY5},
    {"darken", kDarkenFragment, kVertexUV},
    {"glowc", kGlowcFragment, kVertexUV},
    {"edge", kEdgeFragment, kVertexT},
    {"shadowmap", kShadowmapFragment, kVertexPColor},
    {"projectTexture", kProjectTextureFragment, kVertexP},
};
