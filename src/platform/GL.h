// The one GL header of the program's drawing code. Natively it is the system's GL 1.1
// and GLU. With VORIMEL_GLES2 defined the same sources call the fixed-function layer
// over GLES2 instead: the gl*/glu* names the program uses are mapped onto it, and the
// GL 1.1 names GLES2 lacks are defined here.
#pragma once

#ifndef VORIMEL_GLES2

#include <GL/gl.h>
#include <GL/glu.h>

#else

#include "platform/gles/FixedFunction.h"

#include <GLES2/gl2.h>

typedef double GLdouble;

#define GL_QUADS 0x0007
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_RGBA8 0x8058
#define GL_CLIENT_PIXEL_STORE_BIT 0x00000001

#define glBegin ffgl::begin
#define glEnd ffgl::end
#define glVertex3f ffgl::vertex3f
#define glColor3f ffgl::color3f
#define glColor4f ffgl::color4f
#define glColor4fv ffgl::color4fv
#define glTexCoord2f ffgl::texCoord2f
#define glNormal3f ffgl::normal3f

#define glMatrixMode ffgl::matrixMode
#define glLoadIdentity ffgl::loadIdentity
#define glPushMatrix ffgl::pushMatrix
#define glPopMatrix ffgl::popMatrix
#define glTranslatef ffgl::translatef
#define glTranslated ffgl::translated
#define glRotatef ffgl::rotatef
#define glScalef ffgl::scalef
#define glOrtho ffgl::ortho
#define glFrustum ffgl::frustum
#define gluPerspective ffgl::perspective
#define gluLookAt ffgl::lookAt

#define glEnable ffgl::enable
#define glDisable ffgl::disable
#define glBlendFunc ffgl::blendFunc
#define glPointSize ffgl::pointSize
#define glLineWidth ffgl::lineWidth
#define glViewport ffgl::viewport
#define glClearColor ffgl::clearColor
#define glClear ffgl::clear
#define glPushAttrib ffgl::pushAttrib
#define glPopAttrib ffgl::popAttrib

#define glPushClientAttrib ffgl::pushClientAttrib
#define glPopClientAttrib ffgl::popClientAttrib
#define glPixelStorei ffgl::pixelStorei
#define glGetIntegerv ffgl::getIntegerv
#define glGetFloatv ffgl::getFloatv
#define glGetError ffgl::getError
#define glTexImage2D ffgl::texImage2D
#define glReadPixels ffgl::readPixels
#define glCopyTexSubImage2D ffgl::copyTexSubImage2D
#define glFlush ffgl::flush

#endif
