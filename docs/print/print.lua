-- Shapes the manual's HTML for printing: a picture alone in its paragraph becomes a figure with its caption,
-- a bold title alone in its paragraph is marked to stay with what it names, and a command in the text breaks
-- only between its words, never inside an option.
local function escape(text)
  return (text:gsub('&', '&amp;'):gsub('<', '&lt;'):gsub('>', '&gt;'):gsub('"', '&quot;'))
end

function Code(code)
  local words = {}
  for word in code.text:gmatch('%S+') do
    words[#words + 1] = '<span class="word">' .. escape(word) .. '</span>'
  end
  return pandoc.RawInline('html', '<code>' .. table.concat(words, ' ') .. '</code>')
end

function Para(para)
  -- A paragraph that is only a bold title ("Buttons", "Fields") names what follows: it stays with it.
  if #para.content == 1 and para.content[1].t == 'Strong' then
    return pandoc.Div({para}, {class = 'title'})
  end
  if #para.content ~= 1 or para.content[1].t ~= 'Image' then return nil end
  local image = para.content[1]
  local caption = escape(pandoc.utils.stringify(image.caption))
  return pandoc.RawBlock('html', '<figure><img src="' .. escape(image.src) .. '" alt="' .. caption ..
    '"><figcaption>' .. caption .. '</figcaption></figure>')
end
