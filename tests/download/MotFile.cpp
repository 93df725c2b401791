#include "MotFile.h"

#include <filesystem>

void WriteMotFile(const QString& fileName, const FirmwareImage& image,
                  const std::vector<AddressRange>& ranges)
{
    srecords::WriteTextFile(std::filesystem::path(fileName.toStdU16String()),
                            srecords::RecordsOf(image, ranges));
}
