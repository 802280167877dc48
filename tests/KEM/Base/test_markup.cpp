// CMarkup, CKEMDynString, CKEMDynArray.
#include "CKEMDynArray.h"
#include "CKEMDynString.h"
#include "CMarkup.h"
#include "KEMException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Attr(const CMarkup& m, const char* name) {
    return m.GetAttrib(name).ToString();
}

std::string Tag(const CMarkup& m) {
    return m.GetTagName().ToString();
}

// Parses text and returns the error text ("" when well formed).
std::string ErrorOf(const std::string& text, bool* ok = nullptr) {
    CMarkup m;
    bool parsed = m.SetDoc(text.c_str());
    if (ok)
        *ok = parsed;
    return m.GetError().ToString();
}

}  // namespace

// ---------------------------------------------------------------------------
// CKEMDynString

TEST(KEMDynString, StartsEmptyInline) {
    CKEMDynString s;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.GetCapacity(), 255);
    EXPECT_FALSE(s.IsOnHeap());
}

TEST(KEMDynString, GrowsByDoublingOntoTheHeapAndKeepsText) {
    CKEMDynString s("abc");
    s.Grow(300);
    EXPECT_TRUE(s.IsOnHeap());
    EXPECT_EQ(s.GetCapacity(), 510);  // 255 doubled until it reaches 300
    EXPECT_STREQ(s.GetBuffer(), "abc");
    s.Grow(100);  // never shrinks
    EXPECT_EQ(s.GetCapacity(), 510);
}

TEST(KEMDynString, ReserveMakesRoomForTheNul) {
    CKEMDynString s;
    s.Reserve(255);  // 256 > 255: grows
    EXPECT_GE(s.GetCapacity(), 256);
    CKEMDynString t;
    t.Reserve(254);  // 255 fits the inline buffer
    EXPECT_FALSE(t.IsOnHeap());
}

TEST(KEMDynString, AssignSetLengthAndCopies) {
    std::string big(1000, 'x');
    CKEMDynString s(big.c_str());
    EXPECT_EQ(s.Length(), 1000);
    CKEMDynString copy(s);
    EXPECT_EQ(copy.ToString(), big);
    s.SetLength(3);
    EXPECT_STREQ(s.GetBuffer(), "xxx");
    EXPECT_EQ(copy.Length(), 1000);
    copy = s;
    EXPECT_STREQ(copy.GetBuffer(), "xxx");
    s.Assign(s.GetBuffer() + 1);  // from inside itself
    EXPECT_STREQ(s.GetBuffer(), "xx");
    s.Assign(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(KEMDynString, FormatTruncatesAtTheCapacity) {
    CKEMDynString s;
    std::string big(600, 'y');
    s.Format("%s!", big.c_str());
    EXPECT_EQ(s.Length(), 255);
    s.Format("%d-%s", 42, "z");
    EXPECT_STREQ(s.GetBuffer(), "42-z");
}

TEST(KEMDynString, MidStaysInsideTheSource) {
    CKEMDynString s("hello world");
    EXPECT_STREQ(CKEMDynString::Mid(s, 6, 5).GetBuffer(), "world");
    EXPECT_STREQ(CKEMDynString::Mid(s, 6, 500).GetBuffer(), "world");
    EXPECT_STREQ(CKEMDynString::Mid(s, 60, 5).GetBuffer(), "");
    EXPECT_STREQ(CKEMDynString::Mid(s, -3, 2).GetBuffer(), "he");
    EXPECT_STREQ(CKEMDynString::Mid(s, 0, 0).GetBuffer(), "");
}

// ---------------------------------------------------------------------------
// CKEMDynArray

TEST(KEMDynArray, StartsWith128ZeroedRecords) {
    CKEMDynArray<int> a;
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetCapacity(), 128);
}

TEST(KEMDynArray, AtChecksItsIndex) {
    CKEMDynArray<int> a;
    a.SetSize(3);
    a.At(2) = 7;
    EXPECT_EQ(a.At(2), 7);
    try {
        a.At(3);
        FAIL() << "no exception";
    } catch (const CKEMException& e) {
        EXPECT_EQ(e.GetReason(), "invalid arg.");
        EXPECT_EQ(e.GetSource(), "");
        EXPECT_EQ(e.GetFile(), "CKEMDynArray");
        EXPECT_EQ(e.GetLine(), 69);
    }
    EXPECT_THROW(a.At(-1), CKEMException);
}

TEST(KEMDynArray, AtGrowAndSetSizeZeroNewRecords) {
    CKEMDynArray<int> a;
    a.AtGrow(5) = 9;
    EXPECT_EQ(a.GetSize(), 6);
    EXPECT_EQ(a.At(0), 0);
    a.SetSize(300);
    EXPECT_EQ(a.GetCapacity(), 512);
    EXPECT_EQ(a.At(5), 9);
    EXPECT_EQ(a.At(299), 0);
    a.SetSize(2);
    a.SetSize(6);
    EXPECT_EQ(a.At(5), 0);  // a record given back comes back zeroed
}

// ---------------------------------------------------------------------------
// CMarkup: parsing and error texts

TEST(Markup, EmptyDocumentFailsWithoutErrorText) {
    CMarkup m("");
    EXPECT_FALSE(m.IsWellFormed());
    EXPECT_TRUE(m.GetError().IsEmpty());
    EXPECT_FALSE(m.FindElem());
    CMarkup n(nullptr);
    EXPECT_FALSE(n.FindElem());
    EXPECT_FALSE(n.SetDoc(""));
}

TEST(Markup, SimpleDocumentParses) {
    CMarkup m;
    EXPECT_TRUE(m.SetDoc("<a><b x=\"1\"/><c/></a>"));
    EXPECT_TRUE(m.GetError().IsEmpty());
    EXPECT_TRUE(m.IsWellFormed());
    EXPECT_EQ(m.GetRecordCount(), 4);  // the document and three elements
}

TEST(Markup, ErrorTexts) {
    bool ok = true;
    EXPECT_EQ(ErrorOf("<a></b>", &ok), "End tag does not correspond to a");
    EXPECT_FALSE(ok);
    EXPECT_EQ(ErrorOf("<a>", &ok), "Element tag not found");
    EXPECT_FALSE(ok);
    EXPECT_EQ(ErrorOf("no tag at all"), "Element tag not found");
    EXPECT_EQ(ErrorOf("<"), "Abrupt end within tag");
    EXPECT_EQ(ErrorOf("<   \r\n\t"), "Abrupt end within tag");
    EXPECT_EQ(ErrorOf("<\"a\">"), "Tag starts with quote");
    EXPECT_EQ(ErrorOf("<'a'/>"), "Tag starts with quote");
    EXPECT_EQ(ErrorOf("<!-- never closed <a/>"), "Invalid node");
    EXPECT_EQ(ErrorOf("<?xml version=\"1.0\" <a/>"), "Invalid node");
    EXPECT_EQ(ErrorOf("<![CDATA[ x <a/>"), "Invalid node");
    EXPECT_EQ(ErrorOf("<!DOCTYPE a [ <!ELEMENT a > "), "Invalid node");
    EXPECT_EQ(ErrorOf("<a x=\"1\""), "End of tag not found");
    EXPECT_EQ(ErrorOf("<root><a></a"), "End tag not completed for element a");
    EXPECT_EQ(ErrorOf("<root><a></a    "), "End tag not completed for element a");
    EXPECT_EQ(ErrorOf("<a></>"), "End tag not completed for element a");
    EXPECT_EQ(ErrorOf("<a></ >"), "End tag not completed for element a");
    EXPECT_EQ(ErrorOf("<abc></abd>"), "End tag does not correspond to abc");
    EXPECT_EQ(ErrorOf("<abc></ab>"), "End tag does not correspond to abc");
    EXPECT_EQ(ErrorOf("<ab></abc>"), "End tag does not correspond to ab");
    EXPECT_EQ(ErrorOf("<a><b></a>"), "End tag does not correspond to b");
}

TEST(Markup, ErrorTextIsClearedByTheNextParse) {
    CMarkup m("<a>");
    EXPECT_FALSE(m.GetError().IsEmpty());
    EXPECT_TRUE(m.SetDoc("<a/>"));
    EXPECT_TRUE(m.GetError().IsEmpty());
}

TEST(Markup, LongTagNameIsCutToTheErrorCapacity) {
    std::string name(1000, 'n');
    std::string error = ErrorOf("<" + name + "></x>");
    EXPECT_EQ(error.size(), 255u);
    EXPECT_EQ(error.compare(0, 31, "End tag does not correspond to "), 0);
}

TEST(Markup, FailedDocumentFindsNothing) {
    CMarkup m("<a><b/>");
    EXPECT_FALSE(m.IsWellFormed());
    EXPECT_FALSE(m.FindElem("a"));
    EXPECT_FALSE(m.FindElem());
    EXPECT_FALSE(m.IntoElem());
    EXPECT_FALSE(m.OutOfElem());
    EXPECT_TRUE(m.GetAttrib("x").IsEmpty());
}

TEST(Markup, DocumentStartingWithAnEndTagFails) {
    bool ok = true;
    ErrorOf("</a>", &ok);
    EXPECT_FALSE(ok);
}

TEST(Markup, PrologCommentsAndDeclarationsAreSkipped) {
    CMarkup m("<?xml version=\"1.0\"?><!-- c --><a/>");
    EXPECT_TRUE(m.IsWellFormed());
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(Tag(m), "a");

    CMarkup n(
        "<?xml version='1.0'?>\n<!DOCTYPE r [ <!ELEMENT r ANY> <!ATTLIST r x CDATA \"a>b\"> ]>\n"
        "<r><!-- <fake/> --><![CDATA[ <also fake/> ]]><x/><?pi stuff?><y/></r>");
    ASSERT_TRUE(n.IsWellFormed()) << n.GetError().GetBuffer();
    ASSERT_TRUE(n.FindElem("r"));
    n.IntoElem();
    ASSERT_TRUE(n.FindElem());
    EXPECT_EQ(Tag(n), "x");
    ASSERT_TRUE(n.FindElem());
    EXPECT_EQ(Tag(n), "y");
    EXPECT_FALSE(n.FindElem());
}

TEST(Markup, CommentBeforeTheEndTagIsPassedOver) {
    CMarkup m("<a><b/><!-- last --></a>");
    EXPECT_TRUE(m.IsWellFormed()) << m.GetError().GetBuffer();
}

TEST(Markup, TextBetweenTagsIsNotKept) {
    CMarkup m("<a> some text <b/> more </a>");
    ASSERT_TRUE(m.IsWellFormed());
    ASSERT_TRUE(m.FindElem("a"));
    m.IntoElem();
    ASSERT_TRUE(m.FindElem());
    EXPECT_EQ(Tag(m), "b");
}

TEST(Markup, TrailingContentAfterTheTopElementIsIgnored) {
    CMarkup m("<a/><b/> garbage <<<");
    EXPECT_TRUE(m.IsWellFormed());
    ASSERT_TRUE(m.FindElem());
    EXPECT_FALSE(m.FindElem());
}

TEST(Markup, BlanksInsideTags) {
    CMarkup m("< a  x = \"1\" >\n\t< b />\r\n</ a >");
    ASSERT_TRUE(m.IsWellFormed()) << m.GetError().GetBuffer();
    ASSERT_TRUE(m.FindElem("a"));
    EXPECT_EQ(Attr(m, "x"), "1");
    m.IntoElem();
    EXPECT_TRUE(m.FindElem("b"));
}

TEST(Markup, RecordPositionsIndexTheAngleBrackets) {
    const char* text = "<a><b x='1'/></a>";
    CMarkup m(text);
    ASSERT_TRUE(m.FindElem("a"));
    const CMarkup::ElemPos& a = m.GetRecord(m.GetCurrentPos());
    EXPECT_EQ(a.nStartL, 0);
    EXPECT_EQ(a.nStartR, 2);
    EXPECT_EQ(a.nEndL, 13);
    EXPECT_EQ(a.nEndR, 16);
    EXPECT_EQ(a.iElemParent, 0);
    m.IntoElem();
    ASSERT_TRUE(m.FindElem("b"));
    const CMarkup::ElemPos& b = m.GetRecord(m.GetCurrentPos());
    EXPECT_EQ(b.nStartL, 3);
    EXPECT_EQ(b.nStartR, 12);
    EXPECT_EQ(b.nEndL, 11);  // the "/" of an empty element
    EXPECT_EQ(b.nEndR, 12);
    EXPECT_EQ(text[b.nEndL], '/');
    EXPECT_EQ(b.iElemChild, 0);
    EXPECT_EQ(b.iElemNext, 0);
}

// ---------------------------------------------------------------------------
// CMarkup: navigation

TEST(Markup, FindElemIsForwardOnly) {
    CMarkup m("<a><b x=\"1\"/><c/></a>");
    ASSERT_TRUE(m.FindElem("a"));
    ASSERT_TRUE(m.IntoElem());
    EXPECT_TRUE(m.FindElem("c"));
    EXPECT_FALSE(m.FindElem("b"));
    EXPECT_EQ(Tag(m), "c");  // position unchanged by the failed search
}

TEST(Markup, FindElemWithoutNameTakesTheNextSibling) {
    CMarkup m("<r><a/><b/><c/></r>");
    ASSERT_TRUE(m.FindElem(nullptr));
    m.IntoElem();
    std::vector<std::string> tags;
    while (m.FindElem(""))
        tags.push_back(Tag(m));
    EXPECT_EQ(tags, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(Markup, FindElemMatchesTheWholeTagName) {
    CMarkup m("<r><ab/><a/><abc/></r>");
    ASSERT_TRUE(m.FindElem("r"));
    m.IntoElem();
    ASSERT_TRUE(m.FindElem("a"));
    EXPECT_EQ(m.GetRecord(m.GetCurrentPos()).nStartL, 8);
    EXPECT_FALSE(m.FindElem("ab"));  // forward only, and "abc" is not "ab"
    EXPECT_TRUE(m.FindElem("abc"));
}

TEST(Markup, FindElemIsCaseSensitive) {
    CMarkup m("<Root/>");
    EXPECT_FALSE(m.FindElem("ROOT"));
    EXPECT_TRUE(m.FindElem("Root"));
}

TEST(Markup, IntoAndOutOfElemKeepThePlace) {
    CMarkup m("<r><a><a1/><a2/></a><b><b1/></b></r>");
    EXPECT_FALSE(m.IntoElem());  // no current element yet
    EXPECT_FALSE(m.OutOfElem());  // no parent
    ASSERT_TRUE(m.FindElem("r"));
    ASSERT_TRUE(m.IntoElem());
    EXPECT_EQ(m.GetNodeType(), 0);
    ASSERT_TRUE(m.FindElem("a"));
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem("a2"));
    ASSERT_TRUE(m.OutOfElem());
    EXPECT_EQ(Tag(m), "a");
    EXPECT_EQ(m.GetNodeType(), 1);
    // Going back in resumes after a2: nothing left.
    ASSERT_TRUE(m.IntoElem());
    EXPECT_EQ(Tag(m), "a2");
    EXPECT_FALSE(m.FindElem());
    ASSERT_TRUE(m.OutOfElem());
    ASSERT_TRUE(m.FindElem("b"));
    ASSERT_TRUE(m.IntoElem());
    ASSERT_TRUE(m.FindElem("b1"));
    ASSERT_TRUE(m.OutOfElem());
    ASSERT_TRUE(m.OutOfElem());
    EXPECT_EQ(Tag(m), "r");
    EXPECT_FALSE(m.OutOfElem());
    EXPECT_FALSE(m.FindElem());  // the top element has no sibling
}

TEST(Markup, IntoAnEmptyElementThenOut) {
    CMarkup m("<r><e/><f/></r>");
    ASSERT_TRUE(m.FindElem("r"));
    m.IntoElem();
    ASSERT_TRUE(m.FindElem("e"));
    ASSERT_TRUE(m.IntoElem());
    EXPECT_FALSE(m.FindElem());
    EXPECT_FALSE(m.IntoElem());  // nothing current inside e
    ASSERT_TRUE(m.OutOfElem());
    EXPECT_TRUE(m.FindElem("f"));
}

TEST(Markup, ResetPosGoesBackToTheTop) {
    CMarkup m("<r><a/></r>");
    ASSERT_TRUE(m.FindElem("r"));
    m.IntoElem();
    ASSERT_TRUE(m.FindElem("a"));
    m.ResetPos();
    EXPECT_TRUE(m.FindElem("r"));
}

TEST(Markup, DeepNestingNeedsNoRecursion) {
    const int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<d>";
    for (int i = 0; i < depth; ++i)
        text += "</d>";
    CMarkup m(text.c_str());
    ASSERT_TRUE(m.IsWellFormed());
    int levels = 0;
    while (m.FindElem("d")) {
        ++levels;
        m.IntoElem();
    }
    EXPECT_EQ(levels, depth);
}

TEST(Markup, ManySiblingsGrowTheRecords) {
    std::string text = "<r>";
    for (int i = 0; i < 5000; ++i)
        text += "<i n='" + std::to_string(i) + "'/>";
    text += "</r>";
    CMarkup m(text.c_str());
    ASSERT_TRUE(m.IsWellFormed());
    EXPECT_EQ(m.GetRecordCount(), 5002);
    ASSERT_TRUE(m.FindElem("r"));
    m.IntoElem();
    int count = 0;
    while (m.FindElem("i")) {
        EXPECT_EQ(atoi(m.GetAttrib("n").GetBuffer()), count);
        ++count;
    }
    EXPECT_EQ(count, 5000);
}

// ---------------------------------------------------------------------------
// CMarkup: attributes and entities

TEST(Markup, AttributesInEitherQuote) {
    CMarkup m("<e a=\"1\" b='two' c=\"it's\" d='say \"hi\"'/>");
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "a"), "1");
    EXPECT_EQ(Attr(m, "b"), "two");
    EXPECT_EQ(Attr(m, "c"), "it's");
    EXPECT_EQ(Attr(m, "d"), "say \"hi\"");
    EXPECT_EQ(Attr(m, "missing"), "");
    EXPECT_TRUE(m.HasAttrib("a"));
    EXPECT_FALSE(m.HasAttrib("missing"));
}

TEST(Markup, UnquotedValueReadsAsEmpty) {
    CMarkup m("<e x=1 y=\"2\"/>");
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "x"), "");
    EXPECT_FALSE(m.HasAttrib("x"));
    EXPECT_EQ(Attr(m, "y"), "2");
}

TEST(Markup, EmptyValueIsPresentButEmpty) {
    CMarkup m("<e x=\"\"/>");
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_TRUE(m.HasAttrib("x"));
    EXPECT_EQ(Attr(m, "x"), "");
}

TEST(Markup, TagNameAndValuesAreNotAttributeNames) {
    CMarkup m("<value a=\"value\" value=\"3\"/>");
    ASSERT_TRUE(m.FindElem("value"));
    EXPECT_EQ(Attr(m, "value"), "3");
    EXPECT_EQ(Attr(m, "a"), "value");
}

TEST(Markup, AttributeNameMatchesWhole) {
    CMarkup m("<e xx=\"1\" x=\"2\"/>");
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "x"), "2");
    EXPECT_EQ(Attr(m, "xx"), "1");
    EXPECT_EQ(Attr(m, "xxx"), "");
}

TEST(Markup, AttributesEndAtTheStartTag) {
    CMarkup m("<r><e a=\"1\"><c b=\"2\"/></e></r>");
    ASSERT_TRUE(m.FindElem("r"));
    m.IntoElem();
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "b"), "");  // a child's attribute is not e's
    EXPECT_EQ(Attr(m, "a"), "1");
}

TEST(Markup, NoCurrentElementGivesEmpty) {
    CMarkup m("<e a=\"1\"/>");
    EXPECT_EQ(Attr(m, "a"), "");
    EXPECT_EQ(Tag(m), "");
}

TEST(Markup, AttribOfElemChecksTheIndex) {
    CMarkup m("<e a=\"1\"/>");
    EXPECT_EQ(m.GetAttribOfElem(1, "a").ToString(), "1");
    EXPECT_EQ(m.GetAttribOfElem(0, "a").ToString(), "");
    try {
        m.GetAttribOfElem(100000, "a");
        FAIL() << "no exception";
    } catch (const CKEMException& e) {
        EXPECT_EQ(e.GetReason(), "invalid arg.");
    }
    EXPECT_THROW(m.GetAttribOfElem(-1, "a"), CKEMException);
}

TEST(Markup, FiveEntitiesAreDecoded) {
    CMarkup m("<e v=\"&lt;x&gt; &amp; &apos;q&apos; &quot;d&quot;\"/>");
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "v"), "<x> & 'q' \"d\"");
}

TEST(Markup, OtherAmpersandsStayUnchanged) {
    CMarkup m("<e v=\"&nbsp; &#65; &LT; & &amp &am\"/>");
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "v"), "&nbsp; &#65; &LT; & &amp &am");
}

TEST(Markup, DecodingIsOnePass) {
    CMarkup m("<e v=\"&amp;lt;\"/>");
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "v"), "&lt;");
}

TEST(Markup, DecodeEntitiesAtTheEndOfTheText) {
    const char text[] = {'a', '&', 'l', 't'};  // not NUL-terminated: must not read past 4
    EXPECT_EQ(CMarkup::DecodeEntities(text, sizeof(text)).ToString(), "a&lt");
    EXPECT_EQ(CMarkup::DecodeEntities("&gt;", 4).ToString(), ">");
    EXPECT_EQ(CMarkup::DecodeEntities(nullptr, 3).ToString(), "");
}

TEST(Markup, LongValueGrowsTheString) {
    std::string value(5000, 'v');
    CMarkup m(("<e v=\"" + value + "\"/>").c_str());
    ASSERT_TRUE(m.FindElem("e"));
    EXPECT_EQ(Attr(m, "v"), value);
}

// ---------------------------------------------------------------------------
// CMarkup: malformed input must stay inside the text

TEST(Markup, UnterminatedQuoteRunsToTheEnd) {
    // The parser looks for the next ">" without regard to quotes, so e is an
    // empty element; its attribute's open quote runs to the end of the text.
    CMarkup n("<r><e x=\"1/></r>");
    ASSERT_TRUE(n.IsWellFormed());
    ASSERT_TRUE(n.FindElem("r"));
    n.IntoElem();
    ASSERT_TRUE(n.FindElem("e"));
    EXPECT_EQ(Attr(n, "x"), "1/></r>");
}

TEST(Markup, SlashMustStandRightBeforeTheBracket) {
    CMarkup m("<a><b / ></a>");  // "/ >" does not close b: b holds no end tag
    EXPECT_FALSE(m.IsWellFormed());
    EXPECT_EQ(m.GetError().ToString(), "End tag does not correspond to b");
}

TEST(Markup, LengthBoundedInputIsNotReadPastItsEnd) {
    // Truncated documents handed over by length, without a NUL: each fails
    // with an error text and every walk over it stays inside it.
    const std::vector<std::string> inputs = {
        "<",          "<a",        "<a ",      "<a x",      "<a x=",     "<a x=\"",   "<a x=\"1",
        "<a/",        "<a>",       "<a></",    "<a></a",    "<!",        "<!-",       "<!--",
        "<!-- -",     "<?",        "<?x ?",    "<![",       "<![CDATA[", "<!D [",     "<a><!",
        "<a x='&",    "<a x='&am", "<a x=\"&quot", "</",      "<\"",       "< ",        "<a></a ",
    };
    for (const std::string& text : inputs) {
        char* buffer = static_cast<char*>(std::malloc(text.size()));
        std::memcpy(buffer, text.data(), text.size());
        CMarkup m(buffer, text.size());
        EXPECT_FALSE(m.IsWellFormed()) << text;
        EXPECT_FALSE(m.GetError().IsEmpty() && text != "</") << text;
        while (m.FindElem()) {
            m.GetAttrib("x");
            m.IntoElem();
        }
        std::free(buffer);
    }
}

TEST(Markup, LengthBoundedDocumentMayHoldNul) {
    const char text[] = "<a x=\"1\0\"/>";
    CMarkup m(text, sizeof(text) - 1);
    ASSERT_TRUE(m.FindElem("a"));
    EXPECT_EQ(m.GetDocLength(), static_cast<int32_t>(sizeof(text) - 1));
    EXPECT_EQ(Attr(m, "x"), "1");  // the NUL ends the C string it is handed back in
}

TEST(Markup, StrangeButBoundedTags) {
    // Odd inputs that the token rules still accept or reject; none may crash.
    const char* texts[] = {
        "<>",  "<></>",    "<=>",        "<\\/>",    "<a/ >",       "<a x=\"/>\"></a>", "<a x=/>",
        "<a/><",  "<a>text",  "<a><b/><c></a>", "<?x?>",  "<!>",           "<!---->",          "<a x='1' x='2'/>",
        "<a x>",  "<a x=>",   "<a =\"1\"/>", "<a><!-->", "<a></a b c d>", "</a\"x\">",        "<a></\"a\">",
    };
    for (const char* text : texts) {
        CMarkup m(text);
        m.FindElem();
        m.GetAttrib("x");
        m.GetTagName();
        m.IntoElem();
        m.FindElem();
        m.OutOfElem();
    }
    CMarkup m("<a x='1' x='2'/>");
    ASSERT_TRUE(m.FindElem("a"));
    EXPECT_EQ(Attr(m, "x"), "1");
    CMarkup quoted("<a></\"a\">");
    EXPECT_FALSE(quoted.IsWellFormed());
    EXPECT_EQ(quoted.GetError().ToString(), "End tag does not correspond to a");
}

TEST(Markup, AttributeNamesInOrder) {
    CMarkup m("<e a=\"1\" bb='2' c=3 d = \"4\"/>");
    EXPECT_EQ(m.GetAttribName(0).ToString(), "");  // no current element
    ASSERT_TRUE(m.FindElem("e"));
    std::vector<std::string> names;
    for (int i = 0; !m.GetAttribName(i).IsEmpty(); ++i)
        names.push_back(m.GetAttribName(i).ToString());
    // "3" is an unquoted value: the token rules list it as a name.
    EXPECT_EQ(names, (std::vector<std::string>{"a", "bb", "c", "3", "d"}));
    EXPECT_EQ(m.GetAttribName(-1).ToString(), "");
}
