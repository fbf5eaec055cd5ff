// Handlers of the picture commands, bound to their selectors in frame/commands.def.
#pragma once
#include "frame/call.h"

namespace vrx {

void SendPictureCommand(const Call& c);      // VRX_SendPicture
void PictureToGifCommand(const Call& c);     // VRX_PictureToGif
void GetPictureInfoCommand(const Call& c);   // VRX_GetPictureInfo
void PictureToFileCommand(const Call& c);    // VRX_PictureToFile

}  // namespace vrx
