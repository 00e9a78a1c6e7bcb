// The project file's scalars, texts and matrices, limits and file access.
#include "engine/ProjectStream.hpp"

#include <gtest/gtest.h>

#include "ByteBuilder.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

std::string WrittenText(const std::string& text) {
  return Written([&](CProjectWriter& o) { o.WriteText(text); });
}

TEST(ProjectStreamTest, ScalarsAreLittleEndianWithoutPadding) {
  const std::string b = Written([](CProjectWriter& o) {
    o.WriteByte(0xAB);
    o.WriteInt(-2);
    o.WriteDouble(1.0);
    o.WriteFloat(-2.5f);
    o.WriteBool(true);
  });
  // 0xAB; -2 = FE FF FF FF; 1.0 = 00..00 F0 3F; -2.5f = 00 00 20 C0; 1.
  EXPECT_EQ(b, std::string("\xAB\xFE\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00\xF0\x3F"
                           "\x00\x00\x20\xC0\x01",
                           18));
}

TEST(ProjectStreamTest, TextLengthPrefixesAndReadingBack) {
  // Below 255 one length byte; up to 0xFFFD 0xFF and a 2-byte length (300 =
  // 0x012C); from 0xFFFE 0xFF, 0xFFFF and a 4-byte length.
  using namespace std::string_literals;
  const std::pair<size_t, std::string> prefixes[] = {
      {0, "\0"s},           {3, "\x03"s},           {254, "\xFE"s},
      {255, "\xFF\xFF\0"s}, {300, "\xFF\x2C\x01"s}, {0xFFFE, "\xFF\xFF\xFF\xFE\xFF\0\0"s}};
  for (const auto& [n, prefix] : prefixes)
    EXPECT_EQ(WrittenText(std::string(n, 'x')), prefix + std::string(n, 'x')) << n;
  for (size_t n : {0, 1, 254, 255, 300, 0xFFFD, 0xFFFE, 70000}) {
    std::string text(n, 'q');
    if (n) text[n - 1] = 'e';
    const std::string b = WrittenText(text);
    CReaderOf r(b);
    EXPECT_EQ(r.in.ReadText(), text) << n;
    EXPECT_EQ(r.in.Remaining(), 0u);
  }
}

TEST(ProjectStreamTest, WideTextsAreConvertedToUtf8) {
  // 0xFF 0xFFFE announces 16-bit characters; the length prefix follows.
  CBytes b;
  b.U8(0xFF).U16(0xFFFE).U8(4).U16('A').U16(0x00E9).U16(0xD83D).U16(0xDE00);
  // The same with a long prefix inside, and a lone surrogate.
  b.U8(0xFF).U16(0xFFFE).U8(0xFF).U16(2).U16(0x20AC).U16(0xDC00);
  CReaderOf r(b.Str());
  EXPECT_EQ(r.in.ReadText(), "A\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(r.in.ReadText(), "\xE2\x82\xAC\xEF\xBF\xBD");
}

TEST(ProjectStreamTest, MatricesAreWrittenColumnByColumnAndEmptyOnesLeaveTheTarget) {
  CMatrix<double> m(2, 3);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) m(i, j) = 10 * i + j;
  CBytes expected;
  expected.I32(2).I32(3);
  for (double v : {11, 21, 12, 22, 13, 23}) expected.F64(v);
  EXPECT_EQ(Written([&](CProjectWriter& o) { o.WriteMatrix(m); }), expected.Str());
  // No rows: 0 rows and the given columns.
  EXPECT_EQ(Written([&](CProjectWriter& o) { o.WriteMatrix(CMatrix<double>(), 3); }),
            CBytes().I32(0).I32(3).Str());
  CReaderOf r(CBytes().I32(0).I32(3).I32(4).I32(0).I32(0).I32(-1).Str());
  CMatrix<double> one(1, 1);
  one(1, 1) = 7.0;
  CVector<double> v(2, 5.0);
  // 0 rows, 0 columns, then vectors of 0 and -1 values.
  EXPECT_FALSE(r.in.ReadMatrix(one) || r.in.ReadMatrix(one));
  EXPECT_FALSE(r.in.ReadVector(v) || r.in.ReadVector(v));
  EXPECT_EQ(std::tuple(one.GetRows(), one(1, 1), v.GetSize(), r.in.Remaining()),
            std::tuple(1, 7.0, 2, 0u));
}

// Large matrices take the blockwise path (row blocks, or one column at a
// time); their bytes must be those of the plain column order all the same.
TEST(ProjectStreamTest, BlockwiseTransferKeepsColumnOrder) {
  for (const auto& [rows, cols] : {std::pair{300001, 3}, {40000, 2}, {300, 400}}) {
    SCOPED_TRACE(::testing::Message() << rows << " x " << cols);
    CMatrix<double> m(rows, cols);
    for (int i = 1; i <= rows; ++i)
      for (int j = 1; j <= cols; ++j) m(i, j) = i + 1e-6 * j;
    const std::string b = Written([&](CProjectWriter& o) {
      o.WriteByte(9);  // an unaligned start
      o.WriteMatrix(m);
      o.WriteInt(77);
    });
    ASSERT_EQ(b.size(), 1 + 8 + size_t(rows) * cols * 8 + 4);
    EXPECT_EQ(std::pair(I32At(b, 1), I32At(b, 5)), std::pair(rows, cols));
    for (int j = 1; j <= cols; j += std::max(1, cols / 7))
      for (int i = 1; i <= rows; i += 997)
        ASSERT_EQ(F64At(b, 9 + (size_t(j - 1) * rows + (i - 1)) * 8), i + 1e-6 * j)
            << i << "," << j;
    EXPECT_EQ(I32At(b, b.size() - 4), 77);
    CReaderOf r(b);
    EXPECT_EQ(r.in.ReadByte(), 9);
    CMatrix<double> back;
    ASSERT_TRUE(r.in.ReadMatrix(back));
    ASSERT_EQ(std::pair(back.GetRows(), back.GetColumns()), std::pair(rows, cols));
    for (int i = 1; i <= rows; ++i)
      for (int j = 1; j <= cols; ++j) ASSERT_EQ(back(i, j), m(i, j));
    EXPECT_EQ(r.in.ReadInt(), 77);
  }
}

// The reason a read step is refused with.
template <class F>
std::string Refusal(const std::string& bytes, F read) {
  CReaderOf r(bytes);
  try {
    read(r.in);
  } catch (const CProjectFormatError& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(ProjectStreamTest, SizesBeyondTheInputAreRefusedBeforeAllocating) {
  CMatrix<double> m;
  EXPECT_EQ(Refusal(CBytes().I32(1 << 20).I32(1 << 20).F64(1).Str(),
                    [&](CProjectReader& in) { in.ReadMatrix(m); }),
            "a matrix of 1048576 x 1048576 values is larger than the rest of the file");
  EXPECT_TRUE(m.IsEmpty());
  const auto text = [](CProjectReader& in) { in.ReadText(); };
  EXPECT_EQ(Refusal(CBytes().U8(0xFF).U16(0xFFFF).U32(0xFFFFFFF0u).Str(), text),
            "a text of 4294967280 characters is larger than the rest of the file");
  CVector<double> v;
  EXPECT_NE(
      Refusal(CBytes().I32(3).F64(1).F64(2).Str(), [&](CProjectReader& in) { in.ReadVector(v); }),
      "(accepted)");
  // A second wide marker inside a wide prefix is not a length.
  EXPECT_NE(Refusal(CBytes().U8(0xFF).U16(0xFFFE).U8(0xFF).U16(0xFFFE).U8(0).Str(), text),
            "(accepted)");
}

TEST(ProjectStreamTest, FailingSinkAndFileSources) {
  struct CFullSink : IProjectSink {
    bool WriteAt(uint64_t, const void*, size_t) override { return false; }
  } sink;
  CProjectWriter out(sink);
  out.WriteInt(1);
  EXPECT_FALSE(out.Finish());

  CTempDir dir;
  for (const auto& [path, error] : {std::pair{dir.File("none.olm"), "No such file or directory"},
                                    {dir.Path(), "it is a folder"}}) {
    CFileSource source(path);
    EXPECT_EQ(std::pair(source.IsOpen(), source.Error()), std::pair(false, std::string(error)));
  }
  CFileSource file(dir.Write("a.bin", "abcdef"));
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Size(), 6u);
  CProjectReader in(file);
  EXPECT_EQ(in.ReadByte(), 'a');
  EXPECT_EQ(in.Remaining(), 5u);
}

}  // namespace
}  // namespace olm::test
