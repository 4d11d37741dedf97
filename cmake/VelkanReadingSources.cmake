# The reading half of the engine: what a reader of setup programs needs (the decoder, the delta
# decoder, the package reader and its records), without the writers, the encoder and the delta
# search. core/CMakeLists.txt builds each list as a library of its own (velkan_FOLDER_read, used by
# the folder's full library); the install runtime compiles exactly these for Windows, with the
# few lower-layer files they use. Paths are from the repository's root.
set(VELKAN_READ_compress
  core/compress/CDecompressor.cpp
)
set(VELKAN_READ_delta
  core/delta/CDeltaDecoder.cpp
  core/delta/CFileDeltaReference.cpp
)
set(VELKAN_READ_package
  core/package/CByteBuffer.cpp
  core/package/CByteReader.cpp
  core/package/CChecksumAccumulator.cpp
  core/package/CFileEntry.cpp
  core/package/CFilePackageInput.cpp
  core/package/CMemoryPackageInput.cpp
  core/package/CPackageException.cpp
  core/package/CPackageReader.cpp
  core/package/CertificateTable.cpp
  core/package/DataLayout.cpp
  core/package/EntryPath.cpp
  core/package/PackageChecksum.cpp
  core/package/PackageDecoding.cpp
  core/package/ProductIdentity.cpp
  core/package/RegistryKeyRule.cpp
  core/package/ShownName.cpp
  core/package/StubMarker.cpp
  core/package/VersionChoice.cpp
)
# The lower-layer files the reading half uses (those layers are not split).
set(VELKAN_READ_SUPPORT
  core/stream/CFile.cpp
  core/stream/JoinText.cpp
  core/platform/CodePage.cpp
  core/platform/WindowsName.cpp
  core/model/LogFont.cpp
  core/model/PathCompare.cpp
)
